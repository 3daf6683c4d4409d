#include "particles/particle.h"

#include "render/draw_switches.h"
#include "render/gl.h"

namespace {
const float kFadeStep = -0.02f;
}

Particle::Particle() : Sprite(), velocity(), drift(), colour()
{
    setTranslucent(true);
    setAlpha(1.0f);
}

Particle::Particle(unsigned int texture, const Vector3& position)
    : Sprite(texture, true, 1.0f, position), velocity(), drift(), colour()
{
}

Particle::Particle(unsigned int texture, const Vector3& position, const Vector3& velocity,
                   const Vector3& drift, const Colour& colour)
    : Sprite(texture, true, 1.0f, position), velocity(velocity), drift(drift), colour(colour)
{
}

Particle::~Particle() = default;

void Particle::update()
{
    Vector3 position = getPosition();
    position += velocity + drift;
    setPosition(position);
    fade(kFadeStep);
    if (!(getAlpha() > 0.0f))
        setAlpha(0.0f);
}

void Particle::draw()
{
    // The push comes first so push and pop pair up whether or not anything is drawn.
    glPushMatrix();
    if (isTranslucent()) {
        SetDrawSwitches(DrawBlend::Additive, colour, getAlpha());
        glBindTexture(GL_TEXTURE_2D, getTexture());

        const QuadRect rect = getRect();
        const float x0 = rect.getOrigin().getX();
        const float y0 = rect.getOrigin().getY();
        const float w = rect.getWidth();
        const float h = rect.getHeight();
        const Vector3 position = getPosition();
        glTranslatef(position.getX(), position.getY(), position.getZ());
        glBegin(GL_QUADS);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(x0 + w, y0 + h, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(x0 + w, y0, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(x0, y0, 0.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(x0, y0 + h, 0.0f);
        glEnd();
    }
    glPopMatrix();
}
