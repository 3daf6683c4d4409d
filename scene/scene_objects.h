#pragma once
#include <string>

#include "mesh/model.h"
#include "particles/emitter_set.h"
#include "particles/sparkle_emitter.h"
#include "render/sprite.h"
#include "render/tilted_sprite.h"

// The scene's process-wide objects. They are built before main in the order
// listed (the sparkle field lays out its first sparkles there, before the
// random generator is seeded) and destroyed at exit in reverse order.
extern const std::string kMeshText;
extern Sprite TitleLogo;
extern Sprite CaptionLogo;
extern Model SceneModel;
extern EmitterSet SceneEmitters;
extern TiltedSprite FloorSprite;
extern Sprite BackgroundSprite;
extern SparkleEmitter SparkleField;

// The show's place: phase 0..3 of the intro, anything else the steady state.
// It only grows and nothing resets it: each run of the saver is a new process.
extern int IntroPhase;
// The turn of model and floor about the vertical axis, in degrees, [0, 360).
extern float TurnAngle;
// The tilt of model and floor about the x axis; 0 for the whole run.
extern float TiltAngle;
