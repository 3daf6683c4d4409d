#pragma once

// The OpenGL state that holds for the whole run: clear values, depth test,
// shading, texturing, light 1 and additive blending. InitScene sets it once,
// while the modelview matrix is still the identity (the light is placed in
// eye coordinates); pixel tests of single objects set it on its own.
void SetFixedRenderState();
