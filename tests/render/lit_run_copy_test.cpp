#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/lit_run_copy.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

namespace {
std::vector<unsigned char> ReadPixels(int x, int y, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// Alpha is left out: no draw reads the frame's alpha, and no host shows it.
int DifferingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int differing = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return differing;
}

void ClearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
}
} // namespace

// Would catch: a star, a run or a strip left out or shifted by a pixel, a
// tile's texture drawn in another's place, an edge tile or strip cut short,
// or the viewport's offset ignored (a monitor's part of a wider window),
// where the steady star field goes back from its lit runs.
TEST(LitRunCopy, PutsTheStarFieldBackPixelForPixel)
{
    struct Case {
        int windowWidth, windowHeight, x, y, width, height;
    };
    for (const Case& c : {Case{640, 480, 0, 0, 640, 480}, Case{1001, 703, 0, 0, 1001, 703},
                          Case{1600, 900, 160, 90, 1280, 720}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.x << "," << c.y);
        OffscreenContext context(c.windowWidth, c.windowHeight);
        ASSERT_TRUE(context.isCurrent());
        SetSceneSeed(7);
        InitScene(c.width, c.height);
        glViewport(c.x, c.y, c.width, c.height);
        BackgroundSprite.setAlpha(1.0f);
        ClearFrame();
        BackgroundSprite.drawOverClearedFrame();
        const std::vector<unsigned char> window = ReadPixels(0, 0, c.windowWidth, c.windowHeight);
        const std::vector<unsigned char> view = ReadPixels(c.x, c.y, c.width, c.height);
        const int lit = DifferingPixels(view, std::vector<unsigned char>(view.size(), 0));
        ASSERT_GT(lit, c.width * c.height / 100) << "the star field was not drawn";

        LitRunCopy copy;
        copy.reserve(c.width, c.height);
        ASSERT_TRUE(copy.take(view.data(), c.width, c.height)) << "the picture would go back whole";
        ClearFrame();
        SetDrawSwitches(DrawBlend::Unblended, kWhite, 1.0f);
        copy.draw();
        EXPECT_EQ(DifferingPixels(ReadPixels(0, 0, c.windowWidth, c.windowHeight), window), 0);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// Would catch: runs kept for a picture lit all over (dearer than putting it
// back whole) or over a clear that is not black (the dark pixels would take
// the clear's colour).
TEST(LitRunCopy, LeavesToTheWholePictureWhatRunsCannotPutBackCheaperOrExactly)
{
    const int side = 64;
    OffscreenContext context(side, side);
    ASSERT_TRUE(context.isCurrent());
    std::vector<unsigned char> oneStar(side * side * 4, 0);
    std::fill_n(oneStar.begin() + (side * 20 + 30) * 4, 4, 200);
    const std::vector<unsigned char> litAllOver(side * side * 4, 200);
    struct Case {
        const std::vector<unsigned char>* picture;
        float clearBlue;
        bool kept;
    };
    for (const Case& c : {Case{&oneStar, 0.0f, true}, Case{&litAllOver, 0.0f, false}, Case{&oneStar, 0.5f, false}}) {
        glClearColor(0.0f, 0.0f, c.clearBlue, 0.0f);
        LitRunCopy copy;
        copy.reserve(side, side);
        EXPECT_EQ(copy.take(c.picture->data(), side, side), c.kept)
            << (c.picture == &oneStar ? "one star" : "lit all over") << ", clear blue " << c.clearBlue;
    }
}
