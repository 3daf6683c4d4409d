#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/bitmap_texture.h"
#include "render/gl.h"
#include "scene/mirror_pass.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

// The mirror pass on the real scene objects, judged against control pictures
// drawn without it: the floor alone, and the mirrored model without the stencil.
namespace {
const int kWidth = 160;
const int kHeight = 120;

struct Picture {
    std::vector<std::uint8_t> rgb;
    int at(std::size_t pixel, int channel) const { return rgb[pixel * 3 + static_cast<std::size_t>(channel)]; }
    bool lit(std::size_t pixel) const { return at(pixel, 0) + at(pixel, 1) + at(pixel, 2) > 0; }
};

class MirrorTest : public ::testing::Test {
protected:
    MirrorTest() : context(kWidth, kHeight) {}

    void SetUp() override
    {
        ASSERT_TRUE(context.isCurrent());
        InitScene(kWidth, kHeight);
        SceneModel.setSpin(false);
    }

    void startFrame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
    }

    // Colour and depth read alike, bottom row first.
    static Picture picture()
    {
        Picture shown{std::vector<std::uint8_t>(std::size_t(kWidth) * kHeight * 3)};
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, shown.rgb.data());
        return shown;
    }

    static std::vector<float> depth()
    {
        std::vector<float> values(std::size_t(kWidth) * kHeight);
        glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_FLOAT, values.data());
        return values;
    }

    // The same turn as the pass, about the vertical line through the model.
    void turn()
    {
        glTranslatef(0.0f, 0.0f, -5.0f);
        glRotatef(TurnAngle, 0.0f, 1.0f, 0.0f);
        glTranslatef(0.0f, 0.0f, 5.0f);
    }

    Picture floorAlone()
    {
        SceneModel.setAlpha(0.0f);
        startFrame();
        DrawReflection();
        return picture();
    }

    // The mirrored model as the pass draws it, but with no stencil to clip it.
    Picture unclippedMirror()
    {
        startFrame();
        glPushMatrix();
        turn();
        glScalef(1.0f, -1.0f, 1.0f);
        glTranslatef(0.0f, 1.0f, 0.0f);
        SceneModel.setTranslucent(true);
        SceneModel.setAlpha(1.0f);
        SceneModel.draw();
        glPopMatrix();
        return picture();
    }

    OffscreenContext context;
};
} // namespace

// Would catch: reflection leaking outside the floor, the floor not laid over
// it, or laid over at another opacity than 0.8; at rest and turned.
TEST_F(MirrorTest, ReflectionShowsOnlyInsideTheFloorUnderTheFloorAtEightyPercent)
{
    for (const float angle : {0.0f, 35.0f}) {
        SCOPED_TRACE(angle);
        TurnAngle = angle;
        const Picture floor = floorAlone();
        EXPECT_EQ(FloorSprite.getAlpha(), 0.8f);

        // The floor at full alpha, drawn by hand in the same frame of reference.
        startFrame();
        glPushMatrix();
        turn();
        FloorSprite.setAlpha(1.0f);
        FloorSprite.draw();
        glPopMatrix();
        const Picture fullFloor = picture();

        const Picture mirror = unclippedMirror();
        SceneModel.setAlpha(1.0f);
        startFrame();
        DrawReflection();
        const Picture shown = picture();

        int outside = 0;
        int inside = 0;
        for (std::size_t p = 0; p < shown.rgb.size() / 3; ++p) {
            if (!floor.lit(p)) {
                outside += mirror.lit(p) ? 1 : 0;
                ASSERT_FALSE(shown.lit(p)) << "reflection outside the floor at pixel " << p;
                continue;
            }
            inside += mirror.lit(p) ? 1 : 0;
            for (int c = 0; c < 3; ++c) {
                ASSERT_NEAR(floor.at(p, c), 0.8 * fullFloor.at(p, c), 2.0) << "floor pixel " << p;
                const double expected = std::min(255.0, floor.at(p, c) + 0.2 * mirror.at(p, c));
                ASSERT_NEAR(shown.at(p, c), expected, 3.0) << "pixel " << p << " channel " << c;
            }
        }
        // Both cases must really occur, or the checks above prove nothing.
        EXPECT_GT(outside, 100);
        EXPECT_GT(inside, 100);
    }
}

// Would catch: the upright model drawn without the floor's depth, showing its
// parts below the floor plane through the floor; or a pass that leaves the
// stencil test on (the sparkles, streams and corner logo drawn after it would
// be clipped to the floor), the model translucent, or the matrix stack deeper.
TEST_F(MirrorTest, UprightModelBelowTheFloorPlaneIsHidden)
{
    TurnAngle = 20.0f;
    // Half the model sinks below the floor at height -1.
    SceneModel.setPosition(Vector3(0.0f, -1.0f, -5.0f));
    SceneModel.setAlpha(1.0f);
    startFrame();
    DrawReflection();
    const Picture reflectionOnly = picture();
    const std::vector<float> floorDepth = depth();

    startFrame();
    glPushMatrix();
    turn();
    SceneModel.setTranslucent(false);
    SceneModel.draw();
    glPopMatrix();
    const Picture modelAlone = picture();
    const std::vector<float> modelDepth = depth();

    GLint stackBefore = 0, stackAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stackBefore);
    startFrame();
    DrawModelWithReflection();
    const Picture shown = picture();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stackAfter);
    EXPECT_EQ(stackAfter, stackBefore);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_FALSE(SceneModel.getPart(0).isTranslucent());

    int hidden = 0;
    int visible = 0;
    for (std::size_t p = 0; p < floorDepth.size(); ++p) {
        if (modelDepth[p] >= 1.0f)
            continue;
        const float gap = modelDepth[p] - floorDepth[p];
        if (gap > 1e-4f) {
            ++hidden;
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(shown.at(p, c), reflectionOnly.at(p, c), 2) << "model shows through the floor at " << p;
        } else if (gap < -1e-4f) {
            ++visible;
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(shown.at(p, c), modelAlone.at(p, c), 2) << "model missing in front at " << p;
        }
    }
    EXPECT_GT(hidden, 50);
    EXPECT_GT(visible, 50);

    // A gold quad over the whole view, drawn as the corner logo would be after
    // the pass: its top-left corner pixel, far outside the floor, is pure gold.
    Sprite cover(LoadBitmapTexture(109), true, 1.0f, Vector3(0.0f, 0.0f, -1.0f));
    cover.draw();
    const OffscreenContext::Rgb corner = context.pixel(2, kHeight - 3); // top left
    EXPECT_EQ(corner.r, 255);
    EXPECT_EQ(corner.g, 228);
}

// Would catch: a pass that draws nothing without a stencil buffer; there the
// reflection goes unclipped, beyond the floor.
TEST(MirrorWithoutStencil, DrawsTheReflectionUnclipped)
{
    OffscreenContext context(kWidth, kHeight, 24, 0);
    ASSERT_TRUE(context.isCurrent());
    InitScene(kWidth, kHeight);
    TurnAngle = 0.0f;
    SceneModel.setSpin(false);
    SceneModel.setAlpha(1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    DrawReflection();
    // Rows above the floor's far edge (about row 38 from the bottom), where only
    // an unclipped reflection reaches.
    int lit = 0;
    for (int y = 42; y < 50; ++y)
        for (int x = 40; x < 120; ++x) {
            const OffscreenContext::Rgb p = context.pixel(x, y);
            lit += (p.r + p.g + p.b > 0) ? 1 : 0;
        }
    EXPECT_GT(lit, 0);
}
