#include "render/sprite.h"

#include "render/draw_switches.h"
#include "render/gl.h"

namespace {
// A 2 x 2 quad centred on the sprite's position.
QuadRect defaultRect()
{
    return QuadRect(Vector3(-1.0f, -1.0f, 0.0f), 2.0f, 2.0f);
}
} // namespace

Sprite::Sprite() : texture(0), translucent(false), alpha(0.0f), position(), rect(defaultRect()) {}

Sprite::Sprite(unsigned int texture, bool translucent, float alpha, const Vector3& position)
    : texture(texture), translucent(translucent), alpha(alpha), position(position), rect(defaultRect())
{
}

Sprite::~Sprite() = default;

void Sprite::draw()
{
    // The opaque mode keeps whatever colour is current.
    if (translucent)
        SetDrawSwitches(DrawBlend::Additive, kWhite, alpha);
    else
        SetDrawSwitches(DrawBlend::Opaque);
    drawQuad();
}

void Sprite::drawOverClearedFrame()
{
    if (!translucent || !(alpha >= 1.0f)) {
        draw();
        return;
    }
    SetDrawSwitches(DrawBlend::Unblended, kWhite, alpha);
    drawQuad();
}

void Sprite::drawQuad() const
{
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, texture);
    glTranslatef(position.getX(), position.getY(), position.getZ());

    const float x0 = rect.getOrigin().getX();
    const float y0 = rect.getOrigin().getY();
    const float w = rect.getWidth();
    const float h = rect.getHeight();
    // The normal goes with every vertex: the same to OpenGL 1.1, and an
    // emulation that streams attributes per vertex keeps them aligned.
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x0 + w, y0 + h, 0.0f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x0 + w, y0, 0.0f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, 0.0f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x0, y0 + h, 0.0f);
    glEnd();
    glPopMatrix();
}
