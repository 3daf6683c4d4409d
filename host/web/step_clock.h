#pragma once

// Paces the show at a steady 60 steps a second on any screen: the browser
// calls back once per displayed frame (60, 75, 144 Hz or whatever the screen
// does), and each call asks how many steps are due by then. A 144 Hz screen
// gets a step on most of its frames, not on all; a 30 Hz one gets two.
class StepClock {
public:
    static constexpr double kStepMilliseconds = 1000.0 / 60.0;
    // More steps than this at once means the page was hidden or stalled:
    // the show goes on from where it was instead of racing to catch up.
    static constexpr int kMostStepsAtOnce = 4;

    // The steps due at nowMs, a monotonic time in milliseconds (the callback's
    // timestamp); the first call is due one. Times that go back count as no time.
    int stepsDue(double nowMs);

private:
    bool started = false;
    double nextStep = 0.0; // when the step after the last one given is due
};
