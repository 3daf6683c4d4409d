#include "tests/render/primitives_fixture.h"

#include "render/bitmap_texture.h"
#include "render/sprite.h"

namespace {
// Texture 109 is one flat colour, so linear filtering cannot blur it.
constexpr int kGoldR = 255, kGoldG = 228, kGoldB = 0;
} // namespace

using SpriteDraw = PrimitivesTest;

// The default 2 x 2 quad at (0, 0, -5) must cover exactly the rectangle the
// 45-degree projection puts (-1, -1, -5)..(1, 1, -5) at: gold two pixels inside
// each corner, black two pixels outside each edge.
TEST_F(SpriteDraw, DefaultQuadCoversItsProjectedRectangle)
{
    Sprite sprite(LoadBitmapTexture(109), true, 1.0f, Vector3(0, 0, -5));
    sprite.draw();
    const Window low = project(-1, -1, -5);
    const Window high = project(1, 1, -5);
    for (const Window inside : {Window{low.x + 2, low.y + 2}, Window{high.x - 2, low.y + 2},
                                Window{low.x + 2, high.y - 2}, Window{high.x - 2, high.y - 2}})
        expectNear(at(inside), kGoldR, kGoldG, kGoldB, 1, "inside corner");
    const double midX = (low.x + high.x) / 2, midY = (low.y + high.y) / 2;
    for (const Window outside : {Window{low.x - 2, midY}, Window{high.x + 2, midY}, Window{midX, low.y - 2},
                                 Window{midX, high.y + 2}})
        EXPECT_TRUE(isBlack(at(outside))) << outside.x << "," << outside.y;
    dump("sprite-default");
}

// Translucent drawing adds texel x alpha: half alpha twice makes full gold,
// where ordinary alpha blending would stop at three quarters. A default
// sprite, at alpha 0, adds nothing.
TEST_F(SpriteDraw, TranslucentDrawAddsTexelTimesAlpha)
{
    const unsigned int gold = LoadBitmapTexture(109);
    Sprite silent;
    silent.setTexture(gold);
    silent.setTranslucent(true);
    silent.setPosition(Vector3(0, 0, -5));
    silent.draw();
    EXPECT_TRUE(isBlack(at(0, 0, -5)));

    Sprite half(gold, true, 0.5f, Vector3(0, 0, -5));
    half.draw();
    expectNear(at(0, 0, -5), 128, 114, 0, 2, "one half-alpha draw");
    half.draw();
    expectNear(at(0, 0, -5), kGoldR, kGoldG, kGoldB, 2, "two half-alpha draws");
}

// Opaque sprites are depth-tested and lit; their normal faces away from the
// light, so only the ambient terms light them: 0.2 x 0.2 global plus
// 0.5 x 0.2 from light 1 = 0.14 of the texel, within 2 levels.
TEST_F(SpriteDraw, OpaqueQuadIsLitByAmbientOnlyAndHidesWhatIsBehind)
{
    Sprite nearGold(LoadBitmapTexture(109), false, 0.0f, Vector3(0, 0, -4));
    nearGold.draw();
    // A white untextured quad further back, overlapping the gold one on its right.
    Sprite farWhite(0, false, 0.0f, Vector3(1.0f, 0, -6));
    farWhite.draw();
    expectNear(at(-0.5, 0, -4), 36, 32, 0, 2, "gold in front");
    expectNear(at(0.5, 0, -4), 36, 32, 0, 2, "gold over the white quad");
    expectNear(at(1.8, 0, -6), 36, 36, 36, 2, "white where nothing covers it");
}

// Each draw sets its own switches and leaves them; its matrix push and pop
// leave the modelview matrix as it was.
TEST_F(SpriteDraw, LeavesItsModeSwitchesAndTheMatrix)
{
    glTranslatef(0.25f, 0.5f, -1.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    Sprite sprite(0, true, 0.5f, Vector3(1, 2, 3));
    sprite.draw();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]);

    sprite.setTranslucent(false);
    sprite.draw();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    // The last texture coordinate issued is (0, 1): mesh faces inherit it.
    GLfloat texCoord[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ(texCoord[0], 0.0f);
    EXPECT_EQ(texCoord[1], 1.0f);
}
