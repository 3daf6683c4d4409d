#pragma once
#include <memory>

#include "particles/particle.h"
#include "render/colour.h"
#include "render/vector3.h"

// A fixed number of particles streaming from a moving point: each update moves
// the emitter by velocity + drift and spawns every faded particle again at the
// new position, so the particles leave a fading trail behind it.
class ParticleEmitter {
public:
    static constexpr int kPaletteSize = 20;

    ParticleEmitter();
    ParticleEmitter(unsigned int texture, const Vector3& position, const Vector3& velocity,
                    const Vector3& drift, int count);
    virtual ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Replaces the particles (a negative count gives none) and the five values,
    // then spawns every particle in index order. The palette stays.
    void setup(unsigned int texture, const Vector3& position, const Vector3& velocity,
               const Vector3& drift, int count);
    // setup() with the emitter's own texture and count.
    void restart(const Vector3& position, const Vector3& velocity, const Vector3& drift);
    // Fresh values at the emitter's position; five rand() calls: drift x, y, z, alpha, colour.
    void spawn(Particle& particle);

    virtual void update();
    virtual void draw();

    Vector3 getPosition() const { return position; }
    Vector3 getVelocity() const { return velocity; }
    Vector3 getDrift() const { return drift; }
    unsigned int getTexture() const { return texture; }
    int getCount() const { return count; }
    const Particle& getParticle(int index) const { return particles[index]; }
    // The kPaletteSize tints, light cyan.
    const Colour* getPalette() const { return palette; }

protected:
    void fillPalette();

private:
    unsigned int texture;
    std::unique_ptr<Particle[]> particles;
    Vector3 position;
    Vector3 velocity;
    Vector3 drift;
    int count;
    Colour palette[kPaletteSize];
};
