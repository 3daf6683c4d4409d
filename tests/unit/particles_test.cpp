#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "particles/emitter_set.h"
#include "particles/particle.h"
#include "particles/particle_emitter.h"
#include "particles/sparkle_emitter.h"

// Code that calls rand() is checked by replay: record what the generator gives
// for a seed, seed it again, run the code, and compare against the recording.
namespace {
class Replay {
public:
    Replay(unsigned int seed, int count)
    {
        std::srand(seed);
        for (int i = 0; i <= count; ++i)
            values.push_back(std::rand());
        std::srand(seed);
    }
    int operator[](int index) const { return values[static_cast<std::size_t>(index)]; }
    // The code used exactly `used` values if the next one is the one after them.
    bool usedExactly(int used) const { return std::rand() == (*this)[used]; }

private:
    std::vector<int> values;
};

// The code computes in double and stores floats; the expectations are worked out in float.
void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.getX(), x, 1e-5f);
    EXPECT_NEAR(v.getY(), y, 1e-5f);
    EXPECT_NEAR(v.getZ(), z, 1e-5f);
}

bool SameColour(const Colour& a, const Colour& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

const Vector3 kStreamVelocity(-0.1f, 0.1f, 0.0f);
const Vector3 kStreamDrift(0.04f, -0.05f, 0.0f);

// A stream particle spawned from five values from r[at]: at the emitter, against
// its velocity at half speed; drift x, y, z jittered, alpha, colour.
void ExpectSpawn(const ParticleEmitter& e, const Particle& p, const Replay& r, int at)
{
    const Vector3 from = e.getPosition(), v = e.getVelocity(), d = e.getDrift();
    ExpectVector(p.getPosition(), from.getX(), from.getY(), from.getZ());
    ExpectVector(p.getVelocity(), -v.getX() / 2, -v.getY() / 2, -v.getZ() / 2);
    ExpectVector(p.getDrift(), d.getX() + (r[at] % 100 - 50) / 1000.0f, d.getY() + (r[at + 1] % 100 - 50) / 1000.0f,
                 d.getZ() + (r[at + 2] % 100 - 50) / 1000.0f);
    EXPECT_NEAR(p.getAlpha(), (r[at + 3] % 100) / 100.0f, 1e-5f);
    EXPECT_TRUE(SameColour(p.getColour(), e.getPalette()[r[at + 4] % ParticleEmitter::kPaletteSize]));
    EXPECT_TRUE(p.isTranslucent() && p.getTexture() == e.getTexture());
}
} // namespace

// Would catch: a fade step other than 0.02 in single precision (fifty steps
// from 1.0 leave a crumb, the 51st ends it), alpha left below zero, or a
// spent particle that stops moving.
TEST(Particle, FadesToExactlyZeroAndKeepsMoving)
{
    for (const auto& [start, life] : {std::pair{1.0f, 51}, std::pair{0.5f, 25}}) {
        Particle particle(7, Vector3(1.0f, 2.0f, 3.0f), Vector3(0.1f, 0.0f, 0.0f), Vector3(0.0f, -0.05f, 0.0f),
                          Colour(0.6f, 0.98f, 1.0f));
        particle.setAlpha(start);
        int updates = 0;
        for (; particle.getAlpha() > 0.0f && updates < 100; ++updates)
            particle.update();
        EXPECT_EQ(updates, life) << "from " << start;
        const Vector3 spent = particle.getPosition();
        particle.update();
        EXPECT_EQ(particle.getAlpha(), 0.0f);
        ExpectVector(particle.getPosition(), spent.getX() + 0.1f, spent.getY() - 0.05f, spent.getZ());
    }
}

// Would catch: spawns drawing in another order or number, an update that
// moves the emitter otherwise, respawns a live particle or not a faded one
// (at the new place, in index order), a restart that leaves the old trail,
// or a negative count taken as an impossible array. Over 60 updates every
// particle fades out at least once.
TEST(ParticleEmitter, SpawnsAndRespawnsInIndexOrderWithFiveRandCallsEach)
{
    const int count = 20;
    const Replay first(12345, count * 5);
    ParticleEmitter emitter(9, Vector3(-50.0f, -40.0f, -90.0f), kStreamVelocity, kStreamDrift, count);
    ASSERT_TRUE(first.usedExactly(count * 5));
    for (int i = 0; i < count; ++i)
        ExpectSpawn(emitter, emitter.getParticle(i), first, i * 5);

    int respawns = 0;
    for (int frame = 0; frame < 60; ++frame) {
        float alphas[count];
        for (int i = 0; i < count; ++i)
            alphas[i] = emitter.getParticle(i).getAlpha();
        const Vector3 from = emitter.getPosition();
        const Replay r(static_cast<unsigned int>(1000 + frame), count * 5);
        emitter.update();
        ExpectVector(emitter.getPosition(), from.getX() - 0.06f, from.getY() + 0.05f, from.getZ());
        int used = 0;
        for (int i = 0; i < count; ++i)
            if (!(alphas[i] - 0.02f > 0.0f)) {
                ExpectSpawn(emitter, emitter.getParticle(i), r, used);
                used += 5;
            }
        ASSERT_TRUE(r.usedExactly(used)) << "frame " << frame;
        respawns += used / 5;
    }
    EXPECT_GE(respawns, count);

    // A restart leaves no trail and keeps texture and count; a negative count
    // is no impossible array but none, and draws nothing from rand().
    emitter.restart(Vector3(70.0f, 0.0f, -90.0f), Vector3(-0.05f, 0.0f, 0.0f), Vector3(0.01f, 0.02f, 0.0f));
    EXPECT_TRUE(emitter.getTexture() == 9u && emitter.getCount() == count);
    ExpectVector(emitter.getParticle(count - 1).getPosition(), 70.0f, 0.0f, -90.0f);
    const Replay none(77, 0);
    ParticleEmitter empty(1, Vector3(), kStreamVelocity, kStreamDrift, -5);
    empty.update();
    EXPECT_TRUE(empty.getCount() == 0 && none.usedExactly(0));
}

namespace {
// An emitter that stands still, with `count` particles.
ParticleEmitter* Still(const Vector3& at, int count = 0) { return new ParticleEmitter(2, at, Vector3(), Vector3(), count); }

// What a placement in the scene's bounds must give from six values from r[at]:
// side x, side y (never both the centre line), velocity x, y, drift y, x.
void ExpectPlacement(const ParticleEmitter& e, const Replay& r, int at)
{
    const int sy = r[at + 1] % 3, sx = (r[at] % 3 == 2 && sy == 2) ? 1 : r[at] % 3;
    const float bound[2][3] = {{-70.0f, 70.0f, 0.0f}, {-60.0f, 60.0f, 0.0f}};
    auto speed = [](int side, int value) {
        const float step = (value % 100) / 1000.0f;
        return side == 0 ? step : side == 1 ? -step : step - 0.05f;
    };
    ExpectVector(e.getPosition(), bound[0][sx], bound[1][sy], -90.0f);
    ExpectVector(e.getVelocity(), speed(sx, r[at + 2]), speed(sy, r[at + 3]), 0.0f);
    ExpectVector(e.getDrift(), (r[at + 5] % 100) / 2000.0f - 0.025f, (r[at + 4] % 100) / 2000.0f - 0.025f, 0.0f);
}
} // namespace

// Would catch: a placement drawing in another order, one on the centre of the
// field, a non-strict bound test (an emitter on a bound placed again), a z
// test, emitters updated out of order, or an emitter beyond a corner placed
// once (all four tests use one copy of the position: two placements, each
// with its spawns, and the second stands).
TEST(EmitterSet, OnlyEmittersBeyondABoundArePlacedAgainInOrder)
{
    EmitterSet set(70.0f, 60.0f, -70.0f, -60.0f, -90.0f);
    set.add(Still(Vector3(-70.5f, 0.0f, -90.0f)));
    bool sawCentreRedirected = false;
    for (unsigned int seed = 1; seed <= 300; ++seed) {
        const Replay r(seed, 6);
        set.respawn(set.getEmitter(0));
        ASSERT_TRUE(r.usedExactly(6));
        ExpectPlacement(*set.getEmitter(0), r, 0);
        sawCentreRedirected = sawCentreRedirected || (r[0] % 3 == 2 && r[1] % 3 == 2);
    }
    EXPECT_TRUE(sawCentreRedirected);

    set.getEmitter(0)->restart(Vector3(), Vector3(), Vector3());
    set.add(Still(Vector3(-70.0f, -60.0f, -90.0f))); // on the bounds: stays
    set.add(Still(Vector3(70.0f, 60.0f, 500.0f)));   // z is never tested
    set.add(Still(Vector3(-71.0f, 0.0f, -90.0f)));
    set.add(nullptr);
    set.add(Still(Vector3(-80.0f, 70.0f, -90.0f), 2)); // beyond a corner
    const Replay r(2024, 6 + 2 * (6 + 2 * 5));
    set.respawn(nullptr);
    set.updateAll();
    ASSERT_TRUE(r.usedExactly(6 + 2 * (6 + 2 * 5)));
    ExpectVector(set.getEmitter(1)->getPosition(), -70.0f, -60.0f, -90.0f);
    ExpectVector(set.getEmitter(2)->getPosition(), 70.0f, 60.0f, 500.0f);
    ExpectPlacement(*set.getEmitter(3), r, 0);
    ExpectPlacement(*set.getEmitter(5), r, 6 + 6 + 2 * 5);
    EXPECT_NEAR(set.getEmitter(5)->getParticle(1).getAlpha(), (r[6 + 2 * (6 + 10) - 2] % 100) / 100.0f, 1e-5f);
}

// A sparkle spawned from seven values from r[at] (position x, velocity y,
// velocity x, drift z, drift y, alpha, colour): on the top edge at a whole x.
void ExpectSparkle(SparkleEmitter& field, std::size_t index, const Replay& r, int at)
{
    const Particle& s = field.getSparkle(index);
    ExpectVector(s.getPosition(), static_cast<float>(r[at] % 140) - 70.0f, 60.0f, -90.0f);
    ExpectVector(s.getVelocity(), (r[at + 2] % 10) / 10000.0f, -((r[at + 1] % 100) / 100.0f + 1.0f), 0.0f);
    ExpectVector(s.getDrift(), 0.0f, (r[at + 4] % 100) / 1000.0f - 0.05f, (r[at + 3] % 100) / 10000.0f - 0.005f);
    EXPECT_NEAR(s.getAlpha(), (r[at + 5] % 100) / 100.0f, 1e-5f);
    EXPECT_TRUE(SameColour(s.getColour(), field.getPalette()[r[at + 6] % ParticleEmitter::kPaletteSize]));
    EXPECT_EQ(s.getTexture(), 5u);
}

// Would catch: sparkles spawned elsewhere than on the top edge, drawing in
// another order or number, a faded sparkle not lit again, one below the bottom
// not started again (one that fades and falls below in one update takes the
// spawn's alpha), a narrow field dividing by zero, or a negative count.
TEST(SparkleEmitter, SpawnsOnTheTopEdgeRelightsAndStartsAgainBelowTheBottom)
{
    const Replay r(31337, 3 * 7);
    SparkleEmitter field(3, 70.0f, 60.0f, -70.0f, -60.0f);
    ASSERT_TRUE(r.usedExactly(3 * 7));
    field.setTexture(5);
    for (std::size_t i = 0; i < 3; ++i)
        ExpectSparkle(field, i, r, int(i) * 7);

    // Falling (y, speed) at alpha: lands on the bottom as it fades out; falls
    // below it; does both.
    const float places[3][3] = {{-59.0f, 1.0f, 0.02f}, {-59.0f, 1.5f, 0.5f}, {-59.5f, 1.0f, 0.01f}};
    for (std::size_t i = 0; i < 3; ++i) {
        Particle& s = field.getSparkle(i);
        s.setPosition(Vector3(10.0f, places[i][0], -90.0f));
        s.setVelocity(Vector3(0.0f, -places[i][1], 0.0f));
        s.setDrift(Vector3());
        s.setAlpha(places[i][2]);
    }
    const Replay again(606, 14);
    field.update();
    ASSERT_TRUE(again.usedExactly(14));
    EXPECT_TRUE(field.getSparkle(0).getPosition().getY() == -60.0f && field.getSparkle(0).getAlpha() == 1.0f);
    ExpectSparkle(field, 1, again, 0);
    ExpectSparkle(field, 2, again, 7);

    for (const float maxX : {0.5f, 0.0f, -3.0f}) {
        SparkleEmitter narrow(20, maxX, 10.0f, 0.0f, -10.0f);
        for (std::size_t i = 0; i < narrow.getSparkleCount(); ++i)
            EXPECT_EQ(narrow.getSparkle(i).getPosition().getX(), 0.0f) << "maxX " << maxX;
    }
    EXPECT_EQ(SparkleEmitter(-4, 70.0f, 60.0f, -70.0f, -60.0f).getSparkleCount(), 0u);
}
