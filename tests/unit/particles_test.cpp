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
    Replay(unsigned int seed, int count) : values()
    {
        std::srand(seed);
        for (int i = 0; i < count + 1; ++i)
            values.push_back(std::rand());
        std::srand(seed);
    }
    int operator[](int index) const { return values[static_cast<std::size_t>(index)]; }
    const std::vector<int>& all() const { return values; }
    // The code under test used exactly `used` values if the next one is the one after them.
    bool usedExactly(int used) const { return std::rand() == values[static_cast<std::size_t>(used)]; }

private:
    std::vector<int> values;
};

// The code computes in double and stores floats; the expectations are worked
// out in float, so they may differ in the last bits.
const float kTolerance = 1e-5f;

void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.getX(), x, kTolerance);
    EXPECT_NEAR(v.getY(), y, kTolerance);
    EXPECT_NEAR(v.getZ(), z, kTolerance);
}

void ExpectSameColour(const Colour& a, const Colour& b) { EXPECT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b); }

const Vector3 kStreamVelocity(-0.1f, 0.1f, 0.0f);
const Vector3 kStreamDrift(0.04f, -0.05f, 0.0f);

// A stream particle spawned from five recorded values starting at r[at]: at the
// emitter, against its velocity at half speed; drift x, y, z, alpha, colour.
void ExpectSpawn(const ParticleEmitter& e, const Particle& p, const std::vector<int>& r, int at)
{
    const Vector3 from = e.getPosition();
    ExpectVector(p.getPosition(), from.getX(), from.getY(), from.getZ());
    ExpectVector(p.getVelocity(), 0.05f, -0.05f, 0.0f);
    ExpectVector(p.getDrift(), 0.04f + (r[at] % 100 - 50) / 1000.0f, -0.05f + (r[at + 1] % 100 - 50) / 1000.0f,
                 (r[at + 2] % 100 - 50) / 1000.0f);
    EXPECT_NEAR(p.getAlpha(), (r[at + 3] % 100) / 100.0f, kTolerance);
    ExpectSameColour(p.getColour(), e.getPalette()[r[at + 4] % 20]);
    EXPECT_TRUE(p.isTranslucent());
    EXPECT_EQ(p.getTexture(), e.getTexture());
}
} // namespace

TEST(Particle, AlphaStopsAtExactlyZeroAndSpentParticlesKeepMoving)
{
    Particle particle;
    EXPECT_TRUE(particle.isTranslucent());
    EXPECT_EQ(particle.getAlpha(), 1.0f);

    // Single precision: fifty steps from 1.0 leave a crumb, the 51st ends it;
    // from 0.5 the 25th does.
    for (const auto& [start, life] : {std::pair<float, int>{1.0f, 51}, {0.5f, 25}}) {
        particle.setAlpha(start);
        int updates = 0;
        while (particle.getAlpha() > 0.0f && updates < 100) {
            particle.update();
            ++updates;
        }
        EXPECT_EQ(updates, life) << "from " << start;
    }

    Particle moving(7, Vector3(1.0f, 2.0f, 3.0f), Vector3(0.1f, 0.0f, 0.0f), Vector3(0.0f, -0.05f, 0.0f),
                    Colour(0.6f, 0.98f, 1.0f));
    moving.setAlpha(0.0f);
    moving.update();
    moving.update();
    ExpectVector(moving.getPosition(), 1.2f, 1.9f, 3.0f);
    EXPECT_EQ(moving.getAlpha(), 0.0f);
}

TEST(ParticleEmitter, SetupSpawnsInIndexOrderWithFiveRandCallsEach)
{
    const int count = 4;
    const Replay r(12345, count * 5);
    ParticleEmitter emitter(9, Vector3(-50.0f, -40.0f, -90.0f), kStreamVelocity, kStreamDrift, count);
    ASSERT_TRUE(r.usedExactly(count * 5));

    const Colour* palette = emitter.getPalette();
    ExpectSameColour(palette[0], Colour(0.6f, 0.98f, 1.0f));
    ExpectSameColour(palette[19], Colour(0.79f, 0.98f, 1.0f));
    EXPECT_EQ(emitter.getTexture(), 9u);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        ExpectSpawn(emitter, emitter.getParticle(i), r.all(), i * 5);
    }
}

// Over 60 updates every particle fades out at least once (the longest life
// is 50 updates); each must come back at the emitter's new place, taking the
// next five values in index order, and nothing else may draw from rand.
TEST(ParticleEmitter, UpdateMovesTheEmitterAndRespawnsFadedParticlesInIndexOrder)
{
    std::srand(99);
    const int count = 20;
    ParticleEmitter emitter(3, Vector3(0.0f, 0.0f, -90.0f), kStreamVelocity, kStreamDrift, count);
    int respawns = 0;
    for (int frame = 0; frame < 60; ++frame) {
        std::vector<Particle> before;
        for (int i = 0; i < count; ++i)
            before.push_back(emitter.getParticle(i));
        const Vector3 from = emitter.getPosition();
        const Replay r(static_cast<unsigned int>(1000 + frame), count * 5);
        emitter.update();

        const Vector3 to = emitter.getPosition();
        ExpectVector(to, from.getX() - 0.06f, from.getY() + 0.05f, from.getZ());
        int used = 0;
        for (int i = 0; i < count; ++i) {
            Particle expected = before[static_cast<std::size_t>(i)];
            expected.update();
            const Particle& p = emitter.getParticle(i);
            if (expected.getAlpha() > 0.0f) {
                EXPECT_EQ(p.getAlpha(), expected.getAlpha());
                EXPECT_EQ(p.getPosition().getX(), expected.getPosition().getX());
                continue;
            }
            ++respawns;
            ExpectSpawn(emitter, p, r.all(), used);
            used += 5;
        }
        ASSERT_TRUE(r.usedExactly(used)) << "frame " << frame;
    }
    EXPECT_GE(respawns, count);
}

TEST(ParticleEmitter, RestartKeepsTextureCountAndPaletteAndNegativeCountsGiveNoParticles)
{
    std::srand(5);
    ParticleEmitter emitter(11, Vector3(), kStreamVelocity, kStreamDrift, 6);
    emitter.restart(Vector3(70.0f, 0.0f, -90.0f), Vector3(-0.05f, 0.0f, 0.0f), Vector3(0.01f, 0.02f, 0.0f));
    EXPECT_EQ(emitter.getTexture(), 11u);
    ASSERT_EQ(emitter.getCount(), 6);
    for (int i = 0; i < 6; ++i) {
        // The old trail is gone at once: every particle starts at the new place.
        ExpectVector(emitter.getParticle(i).getPosition(), 70.0f, 0.0f, -90.0f);
        ExpectVector(emitter.getParticle(i).getVelocity(), 0.025f, 0.0f, 0.0f);
    }
    ExpectSameColour(emitter.getPalette()[5], Colour(0.65f, 0.98f, 1.0f));

    // A count below zero asks for an impossible array: the emitter has no
    // particles, draws no random numbers, and still moves.
    const Replay r(77, 0);
    ParticleEmitter empty(1, Vector3(), kStreamVelocity, kStreamDrift, -5);
    EXPECT_EQ(empty.getCount(), 0);
    empty.update();
    empty.restart(Vector3(1.0f, 2.0f, 3.0f), Vector3(), Vector3());
    EXPECT_EQ(empty.getCount(), 0);
    ExpectVector(empty.getPosition(), 1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(r.usedExactly(0));
}

namespace {
// An emitter that stands still and has no particles, so a placement draws
// exactly six values; it counts its own destruction.
class StillEmitter : public ParticleEmitter {
public:
    explicit StillEmitter(const Vector3& at, int* destroyed = nullptr, int count = 0) : destroyed(destroyed)
    {
        setup(2, at, Vector3(), Vector3(), count);
    }
    ~StillEmitter() override
    {
        if (destroyed != nullptr)
            ++*destroyed;
    }

private:
    int* destroyed;
};

EmitterSet SceneBounds() { return EmitterSet(70.0f, 60.0f, -70.0f, -60.0f, -90.0f); }

struct Placement {
    Vector3 position;
    Vector3 velocity;
    Vector3 drift;
};

// What a placement must give from six recorded values starting at r[at].
Placement ExpectedPlacement(const Replay& r, int at)
{
    int sx = r[at] % 3;
    const int sy = r[at + 1] % 3;
    if (sx == 2 && sy == 2)
        sx = 1;
    const float bound[2][3] = {{-70.0f, 70.0f, 0.0f}, {-60.0f, 60.0f, 0.0f}};
    auto speed = [](int side, int value) {
        const float step = (value % 100) / 1000.0f;
        return side == 0 ? step : side == 1 ? -step : step - 0.05f;
    };
    Placement p;
    p.position = Vector3(bound[0][sx], bound[1][sy], -90.0f);
    p.velocity = Vector3(speed(sx, r[at + 2]), speed(sy, r[at + 3]), 0.0f);
    p.drift = Vector3((r[at + 5] % 100) / 2000.0f - 0.025f, (r[at + 4] % 100) / 2000.0f - 0.025f, 0.0f);
    return p;
}

void ExpectPlacement(const ParticleEmitter& e, const Placement& p)
{
    for (const auto& [got, want] : {std::pair{e.getPosition(), p.position}, std::pair{e.getVelocity(), p.velocity},
                                    std::pair{e.getDrift(), p.drift}})
        ExpectVector(got, want.getX(), want.getY(), want.getZ());
}
} // namespace

// Sides come from rand() % 3 each, velocity x and y next, then drift y before x.
TEST(EmitterSet, PlacementsFollowTheDrawnSidesAndNeverTheCentre)
{
    EmitterSet set = SceneBounds();
    set.add(new StillEmitter(Vector3(-70.5f, 0.0f, -90.0f)));
    ParticleEmitter& emitter = *set.getEmitter(0);
    bool sawCentreRedirected = false;
    for (unsigned int seed = 1; seed <= 300; ++seed) {
        const Replay r(seed, 6);
        set.respawn(&emitter);
        ASSERT_TRUE(r.usedExactly(6));
        ExpectPlacement(emitter, ExpectedPlacement(r, 0));
        EXPECT_FALSE(emitter.getPosition().getX() == 0.0f && emitter.getPosition().getY() == 0.0f);
        sawCentreRedirected = sawCentreRedirected || (r[0] % 3 == 2 && r[1] % 3 == 2);
    }
    EXPECT_TRUE(sawCentreRedirected) << "no (2, 2) draw in 300 placements";
}

// Beyond a corner both tests fire on the same copy of the position: two
// placements, each with all its spawns, and the second one stands.
TEST(EmitterSet, AnEmitterBeyondACornerIsPlacedTwiceInOneUpdate)
{
    EmitterSet set = SceneBounds();
    set.add(new StillEmitter(Vector3(-80.0f, 70.0f, -90.0f), nullptr, 2));
    const int perPlacement = 6 + 2 * 5;
    const Replay r(2024, 2 * perPlacement);
    set.updateAll();
    ASSERT_TRUE(r.usedExactly(2 * perPlacement));
    const ParticleEmitter& emitter = *set.getEmitter(0);
    ExpectPlacement(emitter, ExpectedPlacement(r, perPlacement));
    EXPECT_EQ(emitter.getCount(), 2);
    EXPECT_EQ(emitter.getTexture(), 2u);
    for (int i = 0; i < 2; ++i)
        EXPECT_NEAR(emitter.getParticle(i).getAlpha(), (r[perPlacement + 6 + i * 5 + 3] % 100) / 100.0f, kTolerance);
}

// Would catch: a non-strict bound test (an emitter on a bound placed again),
// a z test, emitters updated out of insertion order, or one deleted twice or never.
TEST(EmitterSet, OnlyEmittersBeyondABoundArePlacedInInsertionOrder)
{
    int destroyed = 0;
    {
        EmitterSet set = SceneBounds();
        set.add(new StillEmitter(Vector3(-70.0f, -60.0f, -90.0f), &destroyed));
        set.add(new StillEmitter(Vector3(70.0f, 60.0f, 500.0f), &destroyed)); // z is never tested
        // The first leaves on the left, the second at the top; the first one's
        // placement draws first.
        set.add(new StillEmitter(Vector3(-71.0f, 0.0f, -90.0f), &destroyed));
        set.add(new StillEmitter(Vector3(0.0f, 61.0f, -90.0f), &destroyed));
        set.add(nullptr);
        const Replay r(8, 12);
        set.respawn(nullptr);
        set.updateAll();
        ASSERT_TRUE(r.usedExactly(12));
        ExpectVector(set.getEmitter(0)->getPosition(), -70.0f, -60.0f, -90.0f);
        ExpectPlacement(*set.getEmitter(2), ExpectedPlacement(r, 0));
        ExpectPlacement(*set.getEmitter(3), ExpectedPlacement(r, 6));
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 4);
}

TEST(SparkleEmitter, ConstructionSpawnsOnTheTopEdgeWithSevenRandCallsEach)
{
    const int count = 5;
    const Replay r(31337, count * 7);
    SparkleEmitter field(count, 70.0f, 60.0f, -70.0f, -60.0f);
    ASSERT_TRUE(r.usedExactly(count * 7));
    ASSERT_EQ(field.getSparkleCount(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const Particle& s = field.getSparkle(static_cast<std::size_t>(i));
        const int at = i * 7;
        // Position x, velocity y, velocity x, drift z, drift y, alpha, colour.
        ExpectVector(s.getPosition(), static_cast<float>(r[at] % 140) - 70.0f, 60.0f, -90.0f);
        ExpectVector(s.getVelocity(), (r[at + 2] % 10) / 10000.0f, -((r[at + 1] % 100) / 100.0f + 1.0f), 0.0f);
        ExpectVector(s.getDrift(), 0.0f, (r[at + 4] % 100) / 1000.0f - 0.05f, (r[at + 3] % 100) / 10000.0f - 0.005f);
        EXPECT_NEAR(s.getAlpha(), (r[at + 5] % 100) / 100.0f, kTolerance);
        ExpectSameColour(s.getColour(), field.getPalette()[r[at + 6] % 20]);
        EXPECT_EQ(s.getTexture(), 0u);
    }
    field.setTexture(42);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(field.getSparkle(static_cast<std::size_t>(i)).getTexture(), 42u);
}

TEST(SparkleEmitter, FadedSparklesRelightAndOnlyThoseBelowTheBottomStartAgain)
{
    SparkleEmitter field(3, 70.0f, 60.0f, -70.0f, -60.0f);
    field.setTexture(5);
    auto place = [&field](std::size_t i, float y, float fall, float alpha) {
        Particle& s = field.getSparkle(i);
        s.setPosition(Vector3(10.0f, y, -90.0f));
        s.setVelocity(Vector3(0.0f, -fall, 0.0f));
        s.setDrift(Vector3());
        s.setAlpha(alpha);
    };
    place(0, -59.0f, 1.0f, 0.02f);  // lands exactly on the bottom bound, fades out: relit
    place(1, -59.0f, 1.5f, 0.5f);   // falls below the bottom: starts again on top
    place(2, 0.0f, 1.0f, 0.3f);     // just falls and fades

    const Replay r(606, 7);
    field.update();
    ASSERT_TRUE(r.usedExactly(7));
    EXPECT_EQ(field.getSparkle(0).getPosition().getY(), -60.0f);
    EXPECT_EQ(field.getSparkle(0).getAlpha(), 1.0f);
    ExpectVector(field.getSparkle(1).getPosition(), static_cast<float>(r[0] % 140) - 70.0f, 60.0f, -90.0f);
    EXPECT_NEAR(field.getSparkle(1).getAlpha(), (r[5] % 100) / 100.0f, kTolerance);
    EXPECT_EQ(field.getSparkle(1).getTexture(), 5u);
    EXPECT_NEAR(field.getSparkle(2).getAlpha(), 0.28f, kTolerance);

    // A sparkle that fades out and falls below in the same update takes the
    // spawn's alpha, not the relight.
    place(0, -59.5f, 1.0f, 0.01f);
    const Replay again(607, 7);
    field.update();
    ASSERT_TRUE(again.usedExactly(7));
    EXPECT_NEAR(field.getSparkle(0).getAlpha(), (again[5] % 100) / 100.0f, kTolerance);
}

// A field narrower than one unit starts every sparkle at minX instead of
// dividing by zero; a negative count gives an empty field.
TEST(SparkleEmitter, NarrowFieldsUseASpanOfOneAndNegativeCountsGiveNoSparkles)
{
    for (const float maxX : {0.5f, 0.0f, -3.0f}) {
        SparkleEmitter narrow(20, maxX, 10.0f, 0.0f, -10.0f);
        for (std::size_t i = 0; i < narrow.getSparkleCount(); ++i)
            EXPECT_EQ(narrow.getSparkle(i).getPosition().getX(), 0.0f) << "maxX " << maxX;
        narrow.update();
    }
    const Replay r(9, 0);
    SparkleEmitter empty(-4, 70.0f, 60.0f, -70.0f, -60.0f);
    EXPECT_EQ(empty.getSparkleCount(), 0u);
    empty.update();
    EXPECT_TRUE(r.usedExactly(0));
}
