#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/mirror_pass.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

// The show on GL contexts poorer than the one the saver asks for: without a
// stencil buffer (the mirror image then goes unclipped), and with a 16-bit
// depth buffer. OSMesa pairs a stencil only with a 24-bit depth, so the 16-bit
// context has none either, as on the 16-bit desktops that offered such a depth.
// Each test plays the show from its start: run each in its own process, as ctest does.
namespace {
const int kWidth = 160;
const int kHeight = 120;
// Frames past the start of the steady state, so the model has turned a while.
const int kSteadyFrames = 300;

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(const std::vector<std::uint8_t>& rgb, int x, int rowFromTop)
{
    const std::size_t i = (static_cast<std::size_t>(rowFromTop) * kWidth + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

// The model's gold texture (255, 228, 0), lit or added at full alpha.
bool isGold(const Rgb& p) { return p.r > 150 && p.g > 110 && p.b < 70 && p.r >= p.g; }

int countGold(const std::vector<std::uint8_t>& rgb, int firstRow, int lastRow)
{
    int count = 0;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int x = 0; x < kWidth; ++x)
            count += isGold(pixelAt(rgb, x, row));
    return count;
}

int litPixels(const std::vector<std::uint8_t>& rgb)
{
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        count += rgb[i] + rgb[i + 1] + rgb[i + 2] > 60;
    return count;
}

// Plays the show from its first frame into the steady state, checking for a GL
// error at the end of every phase and that each phase's last frame shows something.
void playWholeShow(const OffscreenContext& context)
{
    ASSERT_EQ(IntroPhase, 0) << "the show runs once per process: run this test on its own";
    int phase = IntroPhase;
    int steadyFrames = 0;
    for (int frame = 0; steadyFrames < kSteadyFrames; ++frame) {
        ASSERT_LT(frame, 3000) << "the show never reached its steady state";
        RenderFrame();
        if (IntroPhase != phase) {
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "end of phase " << phase;
            // Phase 2 ends on black (both logos faded out); the others end on a full picture.
            if (phase != 2) {
                EXPECT_GT(litPixels(context.readRgbTopDown()), kWidth * kHeight / 50) << "end of phase " << phase;
            }
            phase = IntroPhase;
        }
        steadyFrames += (phase == 4);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "steady state";
    // The upright model, lit and opaque, stands in the middle of the picture
    // (its parts may be turned edge-on by their spin, so only a few are asked for).
    EXPECT_GT(countGold(context.readRgbTopDown(), kHeight / 4, kHeight * 3 / 4), 40);
}

// The screen row (from the top) of the floor's far edge, with the view unturned:
// the floor is the 3 x 3 square at height -1 centred under the model at (0, 0, -5).
int farEdgeRow()
{
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x = 0, y = 0, z = 0;
    gluProject(0.0, -1.0, -6.5, model, projection, viewport, &x, &y, &z);
    return kHeight - 1 - static_cast<int>(y);
}

struct MirrorPicture {
    int goldAboveFloor; // mirror image beyond the floor's far edge
    int tintedOnFloor;  // grey floor pixels tinted gold by the mirror image under them
};

// Draws the mirror pass alone, unturned and unspun, on black, and counts the
// gold pixels of the mirror image above the floor's far edge, where a stencil
// keeps them out, and the floor pixels that it tints.
MirrorPicture drawMirrorAlone()
{
    TurnAngle = 0.0f;
    SceneModel.setSpin(true); // restarts the parts' spin at 0 ...
    SceneModel.setSpin(false); // ... and holds it there
    SceneModel.setAlpha(1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    const int edge = farEdgeRow();
    DrawReflection();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    // glReadPixels gives bottom-up rows; flip to count from the top.
    std::vector<std::uint8_t> topDown(rgb.size());
    const std::size_t rowBytes = static_cast<std::size_t>(kWidth) * 3;
    for (int row = 0; row < kHeight; ++row)
        std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(row * rowBytes), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>((kHeight - 1 - row) * rowBytes));

    MirrorPicture picture{0, 0};
    EXPECT_GT(edge, 10) << "the floor's far edge is expected in the upper part of the lower half";
    // Two rows of margin either side of the edge for its rasterisation.
    if (edge > 2)
        picture.goldAboveFloor = countGold(topDown, 0, edge - 2);
    for (int row = edge + 2; row < kHeight; ++row) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb p = pixelAt(topDown, x, row);
            // The floor's greys have r = g = b; 20 % of the gold shifts them to yellow.
            picture.tintedOnFloor += p.r - p.b > 30;
        }
    }
    return picture;
}

GLint integer(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}
} // namespace

TEST(ContextVariants, WithoutAStencilBufferTheShowPlaysAndTheMirrorGoesUnclipped)
{
    OffscreenContext context(kWidth, kHeight, 24, 0);
    ASSERT_TRUE(context.isCurrent());
    ASSERT_EQ(integer(GL_STENCIL_BITS), 0);
    SetFramePauseEnabled(false);
    InitScene(kWidth, kHeight);
    playWholeShow(context);
    // With no stencil buffer the stencil test passes everywhere: the mirror
    // image shows beyond the floor instead of vanishing or failing.
    EXPECT_GT(drawMirrorAlone().goldAboveFloor, 100);
}

TEST(ContextVariants, WithASixteenBitDepthBufferTheShowPlays)
{
    OffscreenContext context(kWidth, kHeight, 16, 0);
    ASSERT_TRUE(context.isCurrent());
    ASSERT_EQ(integer(GL_DEPTH_BITS), 16);
    SetFramePauseEnabled(false);
    InitScene(kWidth, kHeight);
    playWholeShow(context);
}

// The control for the unclipped mirror: with a stencil buffer the same picture
// shows the mirror image in the floor and nowhere above it.
TEST(ContextVariants, WithAStencilBufferTheSameMirrorPictureStaysOnTheFloor)
{
    OffscreenContext context(kWidth, kHeight, 24, 8);
    ASSERT_TRUE(context.isCurrent());
    ASSERT_GE(integer(GL_STENCIL_BITS), 1);
    InitScene(kWidth, kHeight);
    const MirrorPicture picture = drawMirrorAlone();
    EXPECT_EQ(picture.goldAboveFloor, 0);
    EXPECT_GT(picture.tintedOnFloor, 100);
}
