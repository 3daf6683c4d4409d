#pragma once
#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

// The process-wide scene as a fresh process holds it, then InitScene with
// seed 7: the show only goes forward, so every test puts back what an
// earlier one moved.
inline void StartScene(int width, int height)
{
    IntroPhase = 0;
    TurnAngle = 0.0f;
    TitleLogo = Sprite();
    CaptionLogo = Sprite();
    BackgroundSprite = Sprite();
    FloorSprite = TiltedSprite();
    SceneModel.setAlpha(0.0f);
    SceneModel.setTranslucent(false);
    SceneModel.setSpin(false);
    SetFramePauseEnabled(false);
    SetSceneSeed(7);
    InitScene(width, height);
}

// The steady state as the intro leaves it, without playing the intro's 1304 frames.
inline void StartSteadyScene(int width, int height)
{
    StartScene(width, height);
    BackgroundSprite.setAlpha(1.0f);
    SceneModel.setAlpha(1.0f);
    SceneModel.setSpin(true);
    TitleLogo.setAlpha(0.8f);
    IntroPhase = 4;
}
