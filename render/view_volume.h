#pragma once
#include "render/quad_rect.h"
#include "render/vector3.h"

// The view as the current matrices and viewport make it, for telling which
// small quads cannot reach a single pixel.
class ViewVolume {
public:
    // Reads the projection, the modelview matrix and the viewport of the current context.
    void capture();
    // True when the quad, translated to position, lies wholly beyond one edge
    // of the view by more than two pixels: drawing it could not change a pixel.
    bool missesView(const Vector3& position, const QuadRect& rect) const;

private:
    double transform[16] = {};
    double marginX = 0.0;
    double marginY = 0.0;
};
