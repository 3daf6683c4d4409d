#pragma once
#include "render/quad_rect.h"
#include "render/vector3.h"

// The base scene object: a textured quad in its local x-y plane, drawn opaque
// (depth-tested and lit) or translucent (additive, scaled by alpha).
class Sprite {
public:
    Sprite();
    Sprite(unsigned int texture, bool translucent, float alpha, const Vector3& position);
    Sprite(const Sprite&) = default;
    Sprite& operator=(const Sprite&) = default;
    virtual ~Sprite();

    virtual void draw();
    // draw() as the first draw after the frame's clear. Translucent at full
    // alpha, the additive blend would add the texel to black, which gives the
    // texel: so the sprite is drawn unblended, with the same pixels, and the
    // renderer need not read the frame back.
    void drawOverClearedFrame();

    void setTexture(unsigned int value) { texture = value; }
    unsigned int getTexture() const { return texture; }
    void setTranslucent(bool value) { translucent = value; }
    bool isTranslucent() const { return translucent; }
    void setAlpha(float value) { alpha = value; }
    float getAlpha() const { return alpha; }
    // No clamping: callers decide what happens at the bounds.
    void fade(float delta) { alpha += delta; }
    void setPosition(const Vector3& value) { position = value; }
    Vector3 getPosition() const { return position; }
    void setRect(const QuadRect& value) { rect = value; }
    QuadRect getRect() const { return rect; }

private:
    void drawQuad() const;

    unsigned int texture;
    bool translucent;
    float alpha;
    Vector3 position;
    QuadRect rect;
};
