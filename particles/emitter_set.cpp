#include "particles/emitter_set.h"

#include <cstdlib>

namespace {
// Where a side puts a coordinate: 0 the low bound, 1 the high bound, 2 the centre line.
float sidePosition(int side, float low, float high)
{
    return side == 0 ? low : side == 1 ? high : 0.0f;
}

// A velocity component that heads back into the field from that side.
float sideVelocity(int side)
{
    const double step = (std::rand() % 100) / 1000.0;
    if (side == 0)
        return static_cast<float>(step);
    if (side == 1)
        return static_cast<float>(-step);
    return static_cast<float>(step - 0.05);
}
} // namespace

EmitterSet::EmitterSet(float maxX, float maxY, float minX, float minY, float spawnZ)
    : emitters(), maxX(maxX), maxY(maxY), minX(minX), minY(minY), spawnZ(spawnZ)
{
}

// The unique pointers delete the emitters in sequence order, through the
// virtual destructor; null entries are skipped.
EmitterSet::~EmitterSet()
{
    for (std::unique_ptr<ParticleEmitter>& emitter : emitters)
        emitter.reset();
}

void EmitterSet::add(ParticleEmitter* emitter)
{
    emitters.emplace_back(emitter);
}

void EmitterSet::updateAll()
{
    for (const std::unique_ptr<ParticleEmitter>& emitter : emitters) {
        if (!emitter)
            continue;
        emitter->update();
        // All four tests use the same copy: an emitter beyond a corner is
        // placed twice, and the second placement stands.
        const Vector3 p = emitter->getPosition();
        if (p.getX() < minX)
            respawn(emitter.get());
        if (p.getY() < minY)
            respawn(emitter.get());
        if (p.getX() > maxX)
            respawn(emitter.get());
        if (p.getY() > maxY)
            respawn(emitter.get());
    }
}

void EmitterSet::drawAll()
{
    for (const std::unique_ptr<ParticleEmitter>& emitter : emitters) {
        if (emitter)
            emitter->draw();
    }
}

void EmitterSet::respawn(ParticleEmitter* emitter)
{
    if (emitter == nullptr)
        return;
    int sideX = std::rand() % 3;
    const int sideY = std::rand() % 3;
    // Never the centre of the field: (2, 2) becomes the right bound at y = 0.
    if (sideX == 2 && sideY == 2)
        sideX = 1;

    const Vector3 position(sidePosition(sideX, minX, maxX), sidePosition(sideY, minY, maxY), spawnZ);
    const float velocityX = sideVelocity(sideX);
    const float velocityY = sideVelocity(sideY);
    // The drift draws y before x.
    const float driftY = static_cast<float>((std::rand() % 100) / 2000.0 - 0.025);
    const float driftX = static_cast<float>((std::rand() % 100) / 2000.0 - 0.025);
    emitter->restart(position, Vector3(velocityX, velocityY, 0.0f), Vector3(driftX, driftY, 0.0f));
}
