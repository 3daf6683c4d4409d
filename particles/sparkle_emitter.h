#pragma once
#include <cstddef>
#include <vector>

#include "particles/particle.h"
#include "particles/particle_emitter.h"

// A field of falling, twinkling sparkles: each starts on the top edge at a
// whole-number x, falls 1 to 2 units per update, lights up again at full
// alpha whenever it fades out, and starts again on the top edge once it has
// fallen below the bottom one. Of its base it uses only the palette.
class SparkleEmitter : public ParticleEmitter {
public:
    // A negative count gives an empty field.
    SparkleEmitter(int count, float maxX, float maxY, float minX, float minY);
    ~SparkleEmitter() override;

    // Gives the texture to every sparkle now and to every one spawned later.
    void setTexture(unsigned int texture);
    void update() override;
    void draw() override;
    // Fresh values on the top edge; seven rand() calls: position x, velocity y,
    // velocity x, drift z, drift y, alpha, colour.
    void spawn(Particle& sparkle);

    std::size_t getSparkleCount() const { return sparkles.size(); }
    Particle& getSparkle(std::size_t index) { return sparkles[index]; }

private:
    std::vector<Particle> sparkles;
    float minX;
    float minY;
    float maxX;
    float maxY;
    unsigned int texture;
};
