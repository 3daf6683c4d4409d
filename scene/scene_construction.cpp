#include "scene/scene_construction.h"

#include <sstream>

#include "render/bitmap_texture.h"
#include "resources/picture_ids.h"
#include "scene/scene_objects.h"

namespace {
const int kStreamCount = 3;
const int kParticlesPerStream = 20;

// Every stream starts in the lower left, far behind the model, heading up and left
// with a drift to the lower right; they differ only by their random draws.
void setUpStream(ParticleEmitter& emitter, unsigned int texture)
{
    emitter.setup(texture, Vector3(-50.0f, -40.0f, -90.0f), Vector3(-0.1f, 0.1f, 0.0f),
                  Vector3(0.04f, -0.05f, 0.0f), kParticlesPerStream);
}
} // namespace

SceneTextures CreateSceneTextures()
{
    SceneTextures textures;
    textures.model = LoadBitmapTexture(Picture::gold);
    textures.title = LoadBitmapTexture(Picture::title);
    textures.caption = LoadBitmapTexture(Picture::caption);
    textures.glow = LoadBitmapTexture(Picture::glow);
    textures.floor = LoadBitmapTexture(Picture::floor);
    textures.background = LoadBitmapTexture(Picture::stars);
    textures.streak = LoadBitmapTexture(Picture::streak);
    return textures;
}

void BuildSceneObjects(const SceneTextures& textures)
{
    {
        std::stringstream meshText(kMeshText, std::ios::in | std::ios::out);
        SceneModel.load(meshText);
    }
    SceneModel.compileFaces();

    TitleLogo.setTexture(textures.title);
    TitleLogo.setTranslucent(true);
    TitleLogo.setPosition(Vector3(0.0f, 0.0f, -5.0f));

    CaptionLogo.setTexture(textures.caption);
    CaptionLogo.setTranslucent(true);
    CaptionLogo.setPosition(Vector3(0.0f, -1.0f, -5.0f));

    SceneModel.setTexture(textures.model);
    SceneModel.setPosition(Vector3(0.0f, 0.0f, -5.0f));

    // With the tilted quad's geometry (its far corner takes the origin twice)
    // this lays a 3 x 3 square at height -1, centred under the model.
    FloorSprite.setTexture(textures.floor);
    FloorSprite.setPosition(Vector3(-0.5f, -1.0f, -5.5f));
    FloorSprite.setAngle(90.0f);
    QuadRect floorRect = FloorSprite.getRect();
    floorRect.setWidth(4.0f);
    floorRect.setHeight(4.0f);
    FloorSprite.setRect(floorRect);

    BackgroundSprite.setTexture(textures.background);
    BackgroundSprite.setPosition(Vector3(0.0f, 0.0f, -5.0f));
    QuadRect backgroundRect = BackgroundSprite.getRect();
    backgroundRect.setWidth(6.0f);
    backgroundRect.setHeight(6.0f);
    backgroundRect.setOrigin(Vector3(-3.0f, -3.0f, 0.0f));
    BackgroundSprite.setRect(backgroundRect);
    BackgroundSprite.setTranslucent(true);
    BackgroundSprite.setAlpha(0.0f);

    SparkleField.setTexture(textures.streak);

    for (int i = 0; i < kStreamCount; ++i) {
        if (static_cast<std::size_t>(i) < SceneEmitters.size()) {
            setUpStream(*SceneEmitters.getEmitter(static_cast<std::size_t>(i)), textures.glow);
        } else {
            ParticleEmitter* emitter = new ParticleEmitter();
            setUpStream(*emitter, textures.glow);
            SceneEmitters.add(emitter);
        }
    }
}
