#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "particles/particle_emitter.h"

// The emitters of the scene, driven together and kept inside a rectangle of
// the x-y plane: one that leaves it is placed again on an edge or a centre
// line with a course that carries it back across the field.
class EmitterSet {
public:
    EmitterSet(float maxX, float maxY, float minX, float minY, float spawnZ);
    ~EmitterSet();
    EmitterSet(const EmitterSet&) = delete;
    EmitterSet& operator=(const EmitterSet&) = delete;

    // Appends a set-up emitter; the set owns it from then on.
    void add(ParticleEmitter* emitter);
    void updateAll();
    void drawAll();
    // Six rand() calls (side x, side y, velocity x, velocity y, drift y, drift x),
    // then the emitter's restart with its own spawns.
    void respawn(ParticleEmitter* emitter);

    std::size_t size() const { return emitters.size(); }
    ParticleEmitter* getEmitter(std::size_t index) const { return emitters[index].get(); }

private:
    std::vector<std::unique_ptr<ParticleEmitter>> emitters;
    float maxX;
    float maxY;
    float minX;
    float minY;
    float spawnZ;
};
