#include "host/web/step_clock.h"

#include <cmath>

namespace {
// A callback this early still counts as on time, so a 60 Hz screen whose
// timestamps wobble by a millisecond gets exactly one step on every frame.
const double kEarlyAllowance = StepClock::kStepMilliseconds / 4.0;
} // namespace

int StepClock::stepsDue(double nowMs)
{
    if (!started) {
        started = true;
        nextStep = nowMs + kStepMilliseconds;
        return 1;
    }
    if (nowMs + kEarlyAllowance < nextStep)
        return 0;
    const double late = nowMs + kEarlyAllowance - nextStep;
    const double due = std::floor(late / kStepMilliseconds) + 1.0;
    if (due > kMostStepsAtOnce) {
        nextStep = nowMs + kStepMilliseconds;
        return 1;
    }
    nextStep += due * kStepMilliseconds;
    return static_cast<int>(due);
}
