#pragma once

// The model's mirror image in the floor, made with the stencil buffer: the
// floor marks its pixels, the model is drawn upside down only there, and the
// floor is laid over it at alpha 0.8. Model and floor turn together by
// TurnAngle about the vertical line through the model. Both need the
// modelview matrix current, leave the matrix stack as they found it and the
// stencil test off, so later draws of the frame are not clipped.

// Floor and reflection; leaves the floor translucent at 0.8 and the model translucent.
void DrawReflection();
// The upright model, turned, opaque, lit and depth-tested against the floor
// that DrawReflection left in the depth buffer, so its parts below the floor
// plane stay hidden; leaves the model opaque.
void DrawUprightModel();
// DrawReflection, then DrawUprightModel.
void DrawModelWithReflection();
