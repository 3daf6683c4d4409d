#pragma once

// The show, one frame at a time, chosen by IntroPhase: 0 the title fades in,
// 1 the caption fades in below it, 2 both fade out, 3 the scene fades in,
// anything else the steady state, where the model turns above its mirror image
// among sparkles and particle streams. Every step is per frame; there is no clock.
// Draws and animates one frame; needs the cleared frame and identity modelview
// matrix that RenderFrame provides.
void RunPhaseStep();

// The steady state's step as named parts, in order: its draws, then its logic
// (the last part).
// RunPhaseStep runs them all; the frame benchmark times them one by one.
struct SteadyPart {
    const char* name;
    void (*run)();
};
extern const SteadyPart kSteadyParts[];
extern const int kSteadyPartCount;

// The show's fixed steps, in single precision as the phase lengths depend on it.
constexpr float kLogoFadeStep = 0.0025f;
constexpr float kSceneFadeStep = 0.01f;
constexpr float kCornerLogoFadeStep = 0.008f;
constexpr float kCornerLogoAlpha = 0.8f;
constexpr float kTurnStep = 0.1f;
