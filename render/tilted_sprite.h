#pragma once
#include "render/sprite.h"

// A sprite turned by three angles about its local origin, blended with ordinary
// alpha blending instead of the sprite's additive blend. The scene's floor.
class TiltedSprite : public Sprite {
public:
    TiltedSprite();
    TiltedSprite(unsigned int texture, bool translucent, float alpha, const Vector3& position);
    TiltedSprite(unsigned int texture, bool translucent, float alpha, const Vector3& position,
                 float angleX, float angleY, float angleZ);
    ~TiltedSprite() override;

    // Sets the turn about x only; the other two are fixed at construction.
    void setAngle(float degrees) { angleX = degrees; }
    void draw() override;

private:
    float angleX;
    float angleY;
    float angleZ;
};
