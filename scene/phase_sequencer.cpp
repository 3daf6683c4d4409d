#include "scene/phase_sequencer.h"

#include "render/quad_rect.h"
#include "render/vector3.h"
#include "scene/background_copy.h"
#include "scene/mirror_pass.h"
#include "scene/scene_objects.h"

namespace {
const float kFullAlpha = 1.0f;

void titleFadesIn()
{
    TitleLogo.draw();
    TitleLogo.fade(kLogoFadeStep);
    if (!(TitleLogo.getAlpha() < kFullAlpha)) {
        TitleLogo.setAlpha(kFullAlpha);
        IntroPhase = 1;
    }
}

void captionFadesIn()
{
    TitleLogo.draw();
    CaptionLogo.draw();
    CaptionLogo.fade(kLogoFadeStep);
    if (!(CaptionLogo.getAlpha() < kFullAlpha)) {
        CaptionLogo.setAlpha(kFullAlpha);
        IntroPhase = 2;
    }
}

void logosFadeOut()
{
    TitleLogo.draw();
    CaptionLogo.draw();
    TitleLogo.fade(-kLogoFadeStep);
    CaptionLogo.fade(-kLogoFadeStep);
    // The sparkles start falling unseen, so the field is spread out when it appears.
    SparkleField.update();
    // Both started at 1 and fall by the same step: the caption speaks for both.
    if (CaptionLogo.getAlpha() <= 0.0f) {
        CaptionLogo.setAlpha(0.0f);
        TitleLogo.setAlpha(0.0f);
        // The title comes back as the small logo in the lower right.
        TitleLogo.setPosition(Vector3(1.2f, -1.8f, -4.0f));
        TitleLogo.setRect(QuadRect(Vector3(0.0f, 0.0f, 0.0f), 1.0f, 1.0f));
        SceneModel.setTranslucent(true);
        SceneModel.setAlpha(0.0f);
        IntroPhase = 3;
    }
}

void sceneFadesIn()
{
    BackgroundSprite.drawOverClearedFrame();
    DrawReflection();
    // TurnAngle is still 0: the model stands at its own place, unturned.
    SceneModel.draw();
    SparkleField.draw();
    TitleLogo.draw();
    SparkleField.update();

    BackgroundSprite.fade(kSceneFadeStep);
    SceneModel.fade(kSceneFadeStep);
    TitleLogo.fade(kCornerLogoFadeStep);
    // The background and the model stay just above 1; the corner logo, a
    // little above 0.8 by now, gets exactly 0.8.
    if (!(SceneModel.getAlpha() < kFullAlpha)) {
        TitleLogo.setAlpha(kCornerLogoAlpha);
        SceneModel.setTranslucent(false);
        SceneModel.setSpin(true);
        IntroPhase = 4;
    }
}

void steadyLogic()
{
    SparkleField.update();
    SceneEmitters.updateAll();
    // Wrapped, so the turn keeps its speed however long the saver runs: an
    // ever-growing float would coarsen each step until the model stopped.
    TurnAngle += kTurnStep;
    if (TurnAngle >= 360.0f)
        TurnAngle -= 360.0f;
}

void steadyState()
{
    for (int i = 0; i < kSteadyPartCount; ++i)
        kSteadyParts[i].run();
}
} // namespace

// The mirror pass and the upright model are DrawModelWithReflection's two halves.
const SteadyPart kSteadyParts[] = {
    {"background", DrawSteadyBackground},
    {"mirror pass (floor, reflection)", DrawReflection},
    {"upright model", DrawUprightModel},
    {"sparkles", [] { SparkleField.draw(); }},
    {"emitters", [] { SceneEmitters.drawAll(); }},
    {"corner logo", [] { TitleLogo.draw(); }},
    {"logic (updates, turn)", steadyLogic},
};
const int kSteadyPartCount = sizeof kSteadyParts / sizeof kSteadyParts[0];

void RunPhaseStep()
{
    switch (IntroPhase) {
    case 0:
        titleFadesIn();
        break;
    case 1:
        captionFadesIn();
        break;
    case 2:
        logosFadeOut();
        break;
    case 3:
        sceneFadesIn();
        break;
    default:
        steadyState();
        break;
    }
}
