#include "render/tilted_sprite.h"

#include "render/draw_switches.h"
#include "render/gl.h"

TiltedSprite::TiltedSprite() : Sprite(), angleX(0.0f), angleY(0.0f), angleZ(0.0f) {}

TiltedSprite::TiltedSprite(unsigned int texture, bool translucent, float alpha, const Vector3& position)
    : Sprite(texture, translucent, alpha, position), angleX(0.0f), angleY(0.0f), angleZ(0.0f)
{
}

TiltedSprite::TiltedSprite(unsigned int texture, bool translucent, float alpha, const Vector3& position,
                           float angleX, float angleY, float angleZ)
    : Sprite(texture, translucent, alpha, position), angleX(angleX), angleY(angleY), angleZ(angleZ)
{
}

TiltedSprite::~TiltedSprite() = default;

void TiltedSprite::draw()
{
    const QuadRect rect = getRect();
    const Vector3 position = getPosition();
    // Unlike the sprite, the opaque mode sets opaque white.
    if (isTranslucent())
        SetDrawSwitches(DrawBlend::AlphaBlended, kWhite, getAlpha());
    else
        SetDrawSwitches(DrawBlend::Opaque, kWhite, 1.0f);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, getTexture());
    glTranslatef(position.getX(), position.getY(), position.getZ());
    glRotatef(angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(angleY, 0.0f, 1.0f, 0.0f);
    glRotatef(angleZ, 0.0f, 0.0f, 1.0f);

    const float x0 = rect.getOrigin().getX();
    const float y0 = rect.getOrigin().getY();
    // The far corner takes the origin twice: (x0 + (x0 + w), y0 + (y0 + h)).
    // The floor's placement in the scene is measured against this geometry.
    const float xr = x0 + rect.getWidth();
    const float yt = y0 + rect.getHeight();
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x0 + xr, y0 + yt, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x0 + xr, y0, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x0, y0 + yt, 0.0f);
    glEnd();
    glPopMatrix();
}
