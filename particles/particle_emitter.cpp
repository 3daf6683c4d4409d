#include "particles/particle_emitter.h"

#include <cstdlib>

#include "render/gl.h"
#include "render/view_volume.h"

ParticleEmitter::ParticleEmitter()
    : texture(0), particles(), position(), velocity(), drift(), count(0)
{
    fillPalette();
}

ParticleEmitter::ParticleEmitter(unsigned int texture, const Vector3& position,
                                 const Vector3& velocity, const Vector3& drift, int count)
    : ParticleEmitter()
{
    setup(texture, position, velocity, drift, count);
}

ParticleEmitter::~ParticleEmitter() = default;

void ParticleEmitter::fillPalette()
{
    for (int i = 0; i < kPaletteSize; ++i)
        palette[i] = Colour(static_cast<float>(0.6 + i / 100.0), 0.98f, 1.0f);
}

void ParticleEmitter::setup(unsigned int texture, const Vector3& position, const Vector3& velocity,
                            const Vector3& drift, int count)
{
    // The old array goes before the new one comes, so restarts never hold two.
    particles.reset();
    // A negative count would ask for an impossible array: treat it as none.
    if (count < 0)
        count = 0;
    if (count > 0)
        particles.reset(new Particle[count]);
    this->count = count;
    this->texture = texture;
    this->position = position;
    this->velocity = velocity;
    this->drift = drift;
    for (int i = 0; i < count; ++i)
        spawn(particles[i]);
}

void ParticleEmitter::restart(const Vector3& position, const Vector3& velocity, const Vector3& drift)
{
    setup(texture, position, velocity, drift, count);
}

void ParticleEmitter::spawn(Particle& particle)
{
    particle.setPosition(position);
    particle.setVelocity(Vector3(-velocity.getX() / 2.0f, -velocity.getY() / 2.0f,
                                 -velocity.getZ() / 2.0f));
    // Each component gets its own rand() call, in x, y, z order.
    Vector3 jittered = drift;
    jittered.setX(static_cast<float>((std::rand() % 100) / 1000.0 + jittered.getX() - 0.05));
    jittered.setY(static_cast<float>((std::rand() % 100) / 1000.0 + jittered.getY() - 0.05));
    jittered.setZ(static_cast<float>((std::rand() % 100) / 1000.0 + jittered.getZ() - 0.05));
    particle.setDrift(jittered);
    particle.setTranslucent(true);
    particle.setTexture(texture);
    particle.setAlpha(static_cast<float>((std::rand() % 100) / 100.0));
    particle.setColour(palette[std::rand() % kPaletteSize]);
}

void ParticleEmitter::update()
{
    position = (position + velocity) + drift;
    for (int i = 0; i < count; ++i) {
        particles[i].update();
        if (!(particles[i].getAlpha() > 0.0f))
            spawn(particles[i]);
    }
}

void ParticleEmitter::draw()
{
    glPushMatrix();
    ViewVolume view;
    view.capture();
    for (int i = 0; i < count; ++i)
        if (!view.missesView(particles[i].getPosition(), particles[i].getRect()))
            particles[i].draw();
    glPopMatrix();
}
