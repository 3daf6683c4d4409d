// The steady background's copy against the plain draw it stands in for, and
// the draws' switches' cache against what OpenGL holds.
#include <gtest/gtest.h>

#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/lit_run_copy.h"
#include "scene/background_copy.h"
#include "scene/phase_sequencer.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"
#include "scene/view_projection.h"
#include "tests/render/fresh_scene.h"

namespace {
using Pixels = OffscreenContext::Pixels;

// The view's pixels, alpha left out: no host shows it.
std::vector<unsigned char> ReadView(int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = 0;
    return rgba;
}

// The view at the lower left corner, as a host sets it for a window of that size.
void SetView(int width, int height)
{
    glViewport(0, 0, width, height);
    SetViewProjection(width, height);
}

std::vector<unsigned char> PlainBackground(int width, int height)
{
    BeginFrame();
    BackgroundSprite.drawOverClearedFrame();
    return ReadView(width, height);
}

// Outside the box the window's pixels are not its own (covered, or beyond a
// buffer not yet grown): neither the clear nor a draw reaches them, and a
// read-back finds what another window left there.
void SpoilOutside(int width, int height)
{
    glClearColor(1.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height);
}
} // namespace

// Would catch: a copy trusted for good after one bad read-back (a window
// covered when the copy was taken would show the cover for hours), a host's
// word that the window was uncovered ignored, a copy taken in the frame the
// view grew (the buffer may grow a frame late), the old copy put back after
// the view changed size, or a copy used at all at 16 bits a pixel, where
// nothing promises it gives the plain draw's pixels. Frames 0 and 1 are the
// first of the steady state; a window covered at the start has its right
// 32 columns covered in both.
TEST(BackgroundCopy, ShowsThePlainDrawAgainWithinASecondOfASpoiledReadBack)
{
    enum Disturbance { CoveredAtStart, CoveredThenTold, Grows };
    const int kSecond = 64;  // frames, at the hosts' pace
    const int kGrowFrame = 10;
    const struct {
        const char* name;
        int width, height;
        Pixels pixels;
        Disturbance what;
        bool litRuns;  // the path the plain picture takes
        int rightFrom; // every frame from this one on shows the plain draw
    } cases[] = {
        {"lit runs, covered at start", 640, 480, Pixels::Rgba8888, CoveredAtStart, true, 2 + kSecond + 1},
        {"whole copy, covered at start", 160, 120, Pixels::Rgba8888, CoveredAtStart, false, 2 + kSecond + 1},
        {"lit runs, covered at start, uncovered with the host's word", 640, 480, Pixels::Rgba8888, CoveredThenTold,
         true, 2},
        {"lit runs, grown from 3/4 with its buffer a frame late", 640, 480, Pixels::Rgba8888, Grows, true,
         kGrowFrame + 1},
        {"whole copy, grown from 3/4 with its buffer a frame late", 160, 120, Pixels::Rgba8888, Grows, false,
         kGrowFrame + 1},
        {"16 bits a pixel, covered at start", 640, 480, Pixels::Rgb565, CoveredAtStart, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.name);
        OffscreenContext context(c.width, c.height, 24, 8, c.pixels);
        ASSERT_TRUE(context.isCurrent());
        StartSteadyScene(c.width, c.height);
        const int smallWidth = c.width * 3 / 4, smallHeight = c.height * 3 / 4;
        SetView(smallWidth, smallHeight);
        const std::vector<unsigned char> plainSmall = PlainBackground(smallWidth, smallHeight);
        SetView(c.width, c.height);
        const std::vector<unsigned char> plain = PlainBackground(c.width, c.height);
        if (c.pixels == Pixels::Rgba8888) {
            LitRunCopy runs;
            runs.reserve(c.width, c.height);
            ASSERT_EQ(runs.take(plain.data(), c.width, c.height), c.litRuns) << "another path than the case's";
        }
        if (c.what == Grows)
            SetView(smallWidth, smallHeight);

        int firstWrongAfter = -1;
        bool spoilShown = false;
        for (int frame = 0; frame < 2 + 2 * kSecond + 8; ++frame) {
            const bool grown = c.what != Grows || frame >= kGrowFrame;
            if (c.what == Grows && frame == kGrowFrame) {
                SetView(c.width, c.height);
                SpoilOutside(smallWidth, smallHeight);
            } else if (c.what != Grows && frame < 2) {
                SpoilOutside(c.width - 32, c.height);
            }
            if (c.what == CoveredThenTold && frame == 2)
                InvalidateBackgroundCopy();
            BeginFrame();
            DrawSteadyBackground();
            glDisable(GL_SCISSOR_TEST);
            const bool right = grown ? ReadView(c.width, c.height) == plain
                                     : ReadView(smallWidth, smallHeight) == plainSmall;
            const bool spoiled = c.what == Grows ? frame == kGrowFrame : frame < 2;
            if (!spoiled && !right && frame < c.rightFrom)
                spoilShown = true;
            if (!right && frame >= c.rightFrom && firstWrongAfter < 0)
                firstWrongAfter = frame;
        }
        EXPECT_EQ(firstWrongAfter, -1) << "frame " << firstWrongAfter << " is not the plain draw";
        // The bad read-back did reach the screen, so the healing was seen.
        EXPECT_EQ(spoilShown, c.rightFrom > 2 && c.what != Grows);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// Would catch: a part of the steady frame that sets the blend, depth test,
// lighting, blend function or texture mode behind the cache of the draws'
// switches, or leaves them unset, so that a later draw trusting the cache
// draws with another state; whichever way the background goes: drawn and
// copied, put back from its lit runs or whole, or drawn at 16 bits a pixel.
TEST(DrawSwitches, TheCacheHoldsWhatOpenGLHoldsAfterEachSteadyPart)
{
    const struct {
        int width, height;
        Pixels pixels;
    } cases[] = {{640, 480, Pixels::Rgba8888}, {160, 120, Pixels::Rgba8888}, {160, 120, Pixels::Rgb565}};
    for (const auto& c : cases) {
        OffscreenContext context(c.width, c.height, 24, 8, c.pixels);
        ASSERT_TRUE(context.isCurrent());
        StartSteadyScene(c.width, c.height);
        // Frame 0 draws the background, 1 also copies it, 2 puts the copy back.
        for (int frame = 0; frame < 3; ++frame) {
            BeginFrame();
            for (int part = 0; part < kSteadyPartCount; ++part) {
                kSteadyParts[part].run();
                SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << (c.pixels == Pixels::Rgb565 ? " at 16 bits" : "")
                                                << ", frame " << frame << ", after " << kSteadyParts[part].name);
                const HeldDrawSwitches held = DrawSwitchesHeld();
                ASSERT_TRUE(held.blend >= 0 && held.depthTest >= 0 && held.lighting >= 0) << "switches left unset";
                EXPECT_EQ(glIsEnabled(GL_BLEND), held.blend);
                EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), held.depthTest);
                EXPECT_EQ(glIsEnabled(GL_LIGHTING), held.lighting);
                GLint source = 0, destination = 0, environment = 0;
                glGetIntegerv(GL_BLEND_SRC, &source);
                glGetIntegerv(GL_BLEND_DST, &destination);
                glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
                EXPECT_TRUE(held.destination == 0 || (source == GL_SRC_ALPHA && GLenum(destination) == held.destination));
                EXPECT_TRUE(held.environment == 0 || environment == held.environment);
            }
            // The corner logo, drawn last, blends: by then the cache knows all five.
            EXPECT_TRUE(DrawSwitchesHeld().destination != 0 && DrawSwitchesHeld().environment != 0);
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}
