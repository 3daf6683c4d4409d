#pragma once
#include "render/vector3.h"

// A quad's extent in its own plane: lower-left origin (z is carried, not drawn), width, height.
class QuadRect {
public:
    QuadRect() : origin(), width(0.0f), height(0.0f) {}
    QuadRect(const Vector3& origin, float width, float height)
        : origin(origin), width(width), height(height) {}

    Vector3 getOrigin() const { return origin; }
    float getWidth() const { return width; }
    float getHeight() const { return height; }
    void setOrigin(const Vector3& value) { origin = value; }
    void setWidth(float value) { width = value; }
    void setHeight(float value) { height = value; }

private:
    Vector3 origin;
    float width;
    float height;
};
