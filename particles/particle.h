#pragma once
#include "render/colour.h"
#include "render/sprite.h"
#include "render/vector3.h"

// One tinted, additively blended square that moves by velocity + drift and
// fades by 0.02 on every update. Its owner decides what a spent particle
// (alpha 0) becomes. Copyable, so particles can be held by value.
class Particle : public Sprite {
public:
    Particle();
    Particle(unsigned int texture, const Vector3& position);
    Particle(unsigned int texture, const Vector3& position, const Vector3& velocity,
             const Vector3& drift, const Colour& colour);
    Particle(const Particle&) = default;
    Particle& operator=(const Particle&) = default;
    ~Particle() override;

    void setVelocity(const Vector3& value) { velocity = value; }
    void setDrift(const Vector3& value) { drift = value; }
    void setColour(const Colour& value) { colour = value; }
    Vector3 getVelocity() const { return velocity; }
    Vector3 getDrift() const { return drift; }
    Colour getColour() const { return colour; }

    // One step of motion and fading; alpha stops at exactly 0.
    void update();
    // Draws nothing unless translucent; leaves blending additive, lighting and
    // depth test off.
    void draw() override;

private:
    Vector3 velocity;
    Vector3 drift;
    Colour colour;
};
