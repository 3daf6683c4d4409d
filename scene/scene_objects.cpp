#include "scene/scene_objects.h"

#include "resources/mesh_text_data.h"

// All in one file: C++ orders static construction only within a translation
// unit, and the order below is the scene's.
const std::string kMeshText(kMeshTextData, kMeshTextDataSize);
Sprite TitleLogo;
Sprite CaptionLogo;
Model SceneModel;
EmitterSet SceneEmitters(70.0f, 60.0f, -70.0f, -60.0f, -90.0f);
TiltedSprite FloorSprite;
Sprite BackgroundSprite;
SparkleEmitter SparkleField(100, 70.0f, 60.0f, -70.0f, -60.0f);

int IntroPhase = 0;
float TurnAngle = 0.0f;
float TiltAngle = 0.0f;
