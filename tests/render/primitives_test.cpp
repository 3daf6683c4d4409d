#include "tests/render/primitives_fixture.h"

#include <cstring>

#include "particles/particle.h"
#include "particles/sparkle_emitter.h"
#include "render/bitmap_texture.h"
#include "render/sprite.h"
#include "render/tilted_sprite.h"
#include "resources/bitmap_source.h"

// Sprites, the tilted floor, particles and the textures they carry, each drawn
// alone into the fixture's context and read back.
using Primitives = PrimitivesTest;

namespace {
// Texture 109 is one flat colour, so linear filtering cannot blur it.
constexpr int kGoldR = 255, kGoldG = 228, kGoldB = 0;

// The scene's floor: laid flat by 90 degrees about x; its far corner takes the
// extent's origin twice, so a 4 x 4 extent from (-1, -1) covers 3 x 3.
TiltedSprite Floor(unsigned int texture)
{
    TiltedSprite floor(texture, true, 1.0f, Vector3(-0.5f, -1.0f, -5.5f));
    floor.setRect(QuadRect(Vector3(-1.0f, -1.0f, 0.0f), 4.0f, 4.0f));
    floor.setAngle(90.0f);
    return floor;
}

GLint StackDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}
} // namespace

// Would catch: the default 2 x 2 quad at (0, 0, -5) off the rectangle the
// 45-degree projection puts (-1, -1, -5)..(1, 1, -5) at, or its texel not
// uploaded blue-green-red: gold (exact to 1 level) two pixels inside each
// corner, black two pixels outside each edge.
TEST_F(Primitives, DefaultSpriteCoversItsProjectedRectangleInGold)
{
    Sprite sprite(LoadBitmapTexture(109), true, 1.0f, Vector3(0, 0, -5));
    sprite.draw();
    const Window low = project(-1, -1, -5), high = project(1, 1, -5);
    for (const Window inside : {Window{low.x + 2, low.y + 2}, Window{high.x - 2, low.y + 2},
                                Window{low.x + 2, high.y - 2}, Window{high.x - 2, high.y - 2}})
        expectNear(at(inside), kGoldR, kGoldG, kGoldB, 1, "inside corner");
    const double midX = (low.x + high.x) / 2, midY = (low.y + high.y) / 2;
    for (const Window outside :
         {Window{low.x - 2, midY}, Window{high.x + 2, midY}, Window{midX, low.y - 2}, Window{midX, high.y + 2}})
        EXPECT_TRUE(isBlack(at(outside))) << outside.x << "," << outside.y;
}

// Would catch: translucent sprites blended by alpha instead of added. At the
// quad's centre half alpha twice makes full gold (within 2 levels), where alpha
// blending stops at three quarters; a default sprite, at alpha 0, adds nothing.
// The draw leaves its switches and the modelview matrix as it found it.
TEST_F(Primitives, TranslucentSpriteAddsTexelTimesAlphaAndLeavesTheMatrix)
{
    const unsigned int gold = LoadBitmapTexture(109);
    Sprite silent;
    silent.setTexture(gold);
    silent.setTranslucent(true);
    silent.setPosition(Vector3(0, 0, -5));
    silent.draw();
    EXPECT_TRUE(isBlack(at(0, 0, -5)));

    glTranslatef(0.25f, 0.5f, -1.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    Sprite half(gold, true, 0.5f, Vector3(-0.25f, -0.5f, -4));
    half.draw();
    expectNear(at(0, 0, -5), 128, 114, 0, 2, "one half-alpha draw");
    half.draw();
    expectNear(at(0, 0, -5), kGoldR, kGoldG, kGoldB, 2, "two half-alpha draws");
    expectSwitches(true);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
}

// Would catch: opaque sprites unlit, not depth-tested, or lit from the front.
// Their normal faces away from the light, so only ambient lights them:
// 0.2 x 0.2 global plus 0.5 x 0.2 from light 1 = 0.14 of the texel, within 2.
// The last texture coordinate issued is (0, 1): mesh faces inherit it.
TEST_F(Primitives, OpaqueSpriteIsLitByAmbientOnlyAndHidesWhatIsBehind)
{
    Sprite nearGold(LoadBitmapTexture(109), false, 0.0f, Vector3(0, 0, -4));
    nearGold.draw();
    // A white untextured quad further back, overlapping the gold one on its right.
    Sprite farWhite(0, false, 0.0f, Vector3(1.0f, 0, -6));
    farWhite.draw();
    expectNear(at(-0.5, 0, -4), 36, 32, 0, 2, "gold in front");
    expectNear(at(0.5, 0, -4), 36, 32, 0, 2, "gold over the white quad");
    expectNear(at(1.8, 0, -6), 36, 36, 36, 2, "white where nothing covers it");
    expectSwitches(false);
    GLfloat texCoord[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ(texCoord[0], 0.0f);
    EXPECT_EQ(texCoord[1], 1.0f);
}

// Would catch: a flipped or mirrored texture. A 2 x 2 texture laid out as the
// seam lays out pictures (bottom row first, blue-green-red): each texel must
// show, exactly, at the matching quarter of a default quad.
TEST_F(Primitives, PictureShowsUprightAndUnmirrored)
{
    const unsigned char bgr[] = {
        255, 0, 0, 0, 255, 0, 0, 0, // bottom row: blue (left), green (right), padding
        0, 0, 255, 255, 255, 255, 0, 0, // top row: red (left), white (right), padding
    };
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, bgr);
    // Nearest filtering keeps each quarter of the quad one texel's colour.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    Sprite(name, true, 1.0f, Vector3(0, 0, -5)).draw();
    expectNear(at(-0.5, 0.5, -5), 255, 0, 0, 0, "top left");
    expectNear(at(0.5, 0.5, -5), 255, 255, 255, 0, "top right");
    expectNear(at(-0.5, -0.5, -5), 0, 0, 255, 0, "bottom left");
    expectNear(at(0.5, -0.5, -5), 0, 255, 0, 0, "bottom right");
}

// Would catch: a picture uploaded with the wrong size, channel order, row
// order or alignment: read back in the seam's layout it must equal the seam's bytes.
TEST_F(Primitives, UploadsEachPictureAsItsSeamGivesIt)
{
    for (const unsigned char id : {109, 110, 111, 112, 116, 117, 118}) {
        const BitmapSource source(id);
        ASSERT_TRUE(source.isLoaded());
        const int side = source.getWidth();
        const unsigned int name = LoadBitmapTexture(id);
        GLint bound = 0, width = 0, height = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        ASSERT_EQ(GLuint(bound), name) << int(id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        ASSERT_EQ(width, side) << int(id);
        ASSERT_EQ(height, source.getHeight()) << int(id);
        const std::size_t stride = (std::size_t(side) * 3 + 3) / 4 * 4;
        std::vector<unsigned char> texels(stride * height);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, texels.data());
        const unsigned char* pixels = static_cast<const unsigned char*>(source.getPixels());
        for (int row = 0; row < height; ++row)
            ASSERT_EQ(std::memcmp(texels.data() + row * stride, pixels + row * stride, side * 3u), 0)
                << "picture " << int(id) << " row " << row;
    }
}

// Would catch: a missing bitmap giving name 0 or reusing a name, or its sprite
// drawing with a stale texture: translucent at alpha 1 it is plain white.
TEST_F(Primitives, MissingBitmapGivesAFreshNameThatDrawsUntextured)
{
    const unsigned int first = LoadBitmapTexture(200);
    const unsigned int second = LoadBitmapTexture(200);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_NE(LoadBitmapTexture(109), LoadBitmapTexture(109));
    Sprite(first, true, 1.0f, Vector3(0, 0, -5)).draw();
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    expectNear(at(0, 0, -5), 255, 255, 255, 0, "untextured quad");
}

// Would catch: the floor's far corner at x0 + w instead of taking the origin
// twice. The floor must span x -1.5..1.5 and z -6.5..-3.5 at height -1: the lit
// run of the row and of the column through the centre (0, -1, -5) must end
// within 1.5 pixels of the projected edges; the wrong corner would put the
// right edge at x 2.5 and the near edge at z -2.5, dozens of pixels away.
TEST_F(Primitives, FloorSpansItsThreeByThreeSquare)
{
    Floor(LoadBitmapTexture(109)).draw();
    const Window centre = project(0, -1, -5);
    // The depth at which the centre row's pixel centres meet the floor plane y = -1.
    const int rowY = int(centre.y);
    const double ndcY = (rowY + 0.5) / kHeight * 2.0 - 1.0;
    const double rowDepth = 1.0 / std::tan(std::atan(1.0) / 2) / ndcY;
    const std::pair<int, int> row = litSpan(true, rowY);
    EXPECT_NEAR(row.first, project(-1.5, -1, rowDepth).x, 1.5);
    EXPECT_NEAR(row.second, project(1.5, -1, rowDepth).x, 1.5);
    const std::pair<int, int> column = litSpan(false, int(centre.x));
    EXPECT_NEAR(column.first, project(0, -1, -3.5).y, 1.5) << "near edge";
    EXPECT_NEAR(column.second, project(0, -1, -6.5).y, 1.5) << "far edge";
    expectNear(at(0, -1, -5), kGoldR, kGoldG, kGoldB, 1, "centre of the floor");
}

// Would catch: the translucent floor added instead of alpha-blended. At alpha
// 0.8 over a blue ground the centre is 0.8 of the gold plus 0.2 of the blue,
// within 2 levels. Opaque, it leaves the colour white whatever was set and
// writes depth, so a later quad behind it is hidden.
TEST_F(Primitives, TiltedSpriteBlendsByAlphaAndOpaqueWritesDepth)
{
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    clear();
    TiltedSprite floor = Floor(LoadBitmapTexture(109));
    floor.setAlpha(0.8f);
    floor.draw();
    expectNear(at(0, -1, -5), 204, 182, 51, 2, "floor at 0.8 over blue");
    expectSwitches(true, GL_ONE_MINUS_SRC_ALPHA);

    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    floor.setTranslucent(false);
    floor.draw();
    expectSwitches(false);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    float depth = 0.0f;
    const Window centre = project(0, -1, -5);
    glReadPixels(int(centre.x), int(centre.y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_LT(depth, 1.0f) << "the opaque floor wrote no depth";
}

// Would catch: a particle's tint or alpha not reaching the picture, its blend
// not additive, a matrix push without its pop, or an opaque particle drawing.
// Gold (255, 228, 0) tinted (1, 0.5, 1) at alpha 0.5, drawn twice, adds up to
// (255, 114, 0) at the centre, within 2 levels.
TEST_F(Primitives, ParticleTintsItsTextureAdditivelyAndOpaqueOnesDrawNothing)
{
    Particle particle(LoadBitmapTexture(109), Vector3(0.0f, 0.0f, -5.0f));
    particle.setColour(Colour(1.0f, 0.5f, 1.0f));
    particle.setAlpha(0.5f);
    const GLint depth = StackDepth();
    particle.draw();
    particle.draw();
    EXPECT_EQ(StackDepth(), depth);
    expectNear(at(0, 0, -5), 255, 114, 0, 2, "tinted particle drawn twice");
    expectSwitches(true);

    clear();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    particle.setTranslucent(false);
    particle.draw();
    EXPECT_EQ(StackDepth(), depth);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(isBlack(at(0, 0, -5)));

    SparkleEmitter empty(0, 70.0f, 60.0f, -70.0f, -60.0f);
    empty.draw();
    EXPECT_EQ(StackDepth(), depth);
}
