#include <gtest/gtest.h>

#include "host/web/step_clock.h"

namespace {
// The steps a screen of this refresh rate gets over the given seconds, its
// frames' timestamps wobbling by up to a millisecond either way.
long StepsOver(double hertz, double seconds)
{
    StepClock clock;
    long steps = 0;
    const double frame = 1000.0 / hertz;
    for (long i = 0; i * frame < seconds * 1000.0; ++i) {
        const double wobble = (i % 3 - 1) * 1.0;
        steps += clock.stepsDue(5000.0 + i * frame + wobble);
    }
    return steps;
}
} // namespace

// Would catch: the show racing on a fast screen (one step per screen frame
// plays it 2.4 times as fast at 144 Hz), crawling on a slow one, or juddering
// (0 then 2 steps) on a 60 Hz screen whose timestamps come a little early.
TEST(StepClock, SixtyStepsASecondOnEveryScreen)
{
    for (const double hertz : {30.0, 50.0, 60.0, 75.0, 120.0, 144.0, 240.0})
        EXPECT_NEAR(StepsOver(hertz, 10.0), 600, 2) << hertz << " Hz";

    StepClock clock;
    ASSERT_EQ(clock.stepsDue(1000.0), 1);
    for (int i = 1; i <= 120; ++i)
        ASSERT_EQ(clock.stepsDue(1000.0 + i * 1000.0 / 60.0 + (i % 2 ? 0.9 : -0.9)), 1) << "frame " << i;
}

// Would catch: a page brought back after minutes hidden racing through
// thousands of steps, or a clock going back freezing the show.
TEST(StepClock, APauseIsNotCaughtUp)
{
    StepClock clock;
    clock.stepsDue(0.0);
    EXPECT_EQ(clock.stepsDue(50.0), 3);                  // three steps late: caught up
    EXPECT_EQ(clock.stepsDue(50.0 + 300000.0), 1);       // five minutes hidden: one step
    EXPECT_EQ(clock.stepsDue(50.0 + 300000.0 + 16.7), 1); // and on from there
    EXPECT_EQ(clock.stepsDue(10.0), 0);                  // time went back
    EXPECT_EQ(clock.stepsDue(50.0 + 300000.0 + 33.4), 1);
}
