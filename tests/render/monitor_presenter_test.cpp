#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "host/monitors/monitor_presenter.h"
#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/render_state.h"

namespace {
const int kWidth = 300;
const int kHeight = 60;

// Fills the view with red rising to the right and green rising downwards,
// so every copied pixel says where in the picture it came from. Leaves the
// scene's switches on and an identity projection.
void DrawRamp()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    for (const auto& c : corners) {
        glColor3f((c[0] + 1.0f) / 2.0f, (1.0f - c[1]) / 2.0f, 0.5f);
        glVertex2f(c[0], c[1]);
    }
    glEnd();
    SetFixedRenderState();
}

// The ramp's colour where a window pixel's part of the picture lies (one
// source pixel's step of it, and rounding, allowed), or black.
void ExpectedColour(const MonitorLayout& layout, int x, int y, int rgb[3])
{
    const auto inside = [x, y](const PixelRect& r) {
        return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
    };
    const PixelRect& s = layout.getSource();
    double sx = x + 0.5;
    double sy = y + 0.5;
    bool shown = inside(s);
    for (const MonitorCopy& c : layout.getCopies())
        if (inside(c.shown)) {
            sx = c.areaLeft + (sx - c.shown.x) * (c.areaRight - c.areaLeft) / c.shown.width;
            sy = c.areaTop + (sy - c.shown.y) * (c.areaBottom - c.areaTop) / c.shown.height;
            shown = true;
        }
    rgb[0] = shown ? static_cast<int>(255.0 * (sx - s.x) / s.width) : 0;
    rgb[1] = shown ? static_cast<int>(255.0 * (sy - s.y) / s.height) : 0;
    rgb[2] = shown ? 128 : 0;
}
} // namespace

// Would catch: a copy stretched, off centre, upside down, or drawn over a
// bezel or a gap; the fallback for a small texture limit missing; anything
// added to a one-monitor frame; the viewport, matrices or switches left
// for the next frame as the copy needed them; or a texture kept from the
// layout before a display change that needs a larger one (one presenter is
// fitted to each layout in turn, as a host does).
TEST(MonitorPresenter, CopiesTheSourcePictureOntoEachMonitorAndRestoresTheSceneState)
{
    // Four monitors with gaps: the first of the two largest (2:1) draws; a
    // tall one gets the middle of its picture enlarged, a wide one all of it
    // halved, with black sides, and one of the same size a plain copy.
    const std::vector<PixelRect> four = {{0, 0, 96, 48}, {96, 0, 40, 60}, {136, 10, 64, 24}, {200, 6, 96, 48}};
    const std::vector<PixelRect> fourSmall = {{0, 0, 48, 24}, {48, 0, 20, 30}, {68, 5, 32, 12}, {100, 3, 48, 24}};
    const struct {
        const char* name; std::vector<PixelRect> monitors; int largestTexture; bool throughTexture;
    } cases[] = {
        {"four small monitors, through a small texture", fourSmall, 0, true},
        {"four monitors, scaled copies through a texture", four, 0, true},
        {"four monitors, all by pixel copies where no texture is large enough", four, 16, false},
        {"two equal monitors: a plain copy, no texture", {{0, 0, 96, 48}, {96, 6, 96, 48}}, 0, false},
        {"one monitor: the whole window, nothing added", {{0, 0, kWidth, kHeight}}, 0, false},
    };
    OffscreenContext context(kWidth, kHeight);
    ASSERT_TRUE(context.isCurrent());
    SetFixedRenderState();
    MonitorPresenter presenter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MonitorLayout layout(c.monitors, kWidth, kHeight);
        presenter.fit(layout, c.largestTexture);
        ASSERT_EQ(presenter.copiesThroughTexture(), c.throughTexture);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawRamp();
        presenter.present();

        const PixelRect& s = layout.getSource();
        std::vector<GLint> viewport(4);
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::vector<GLint>{s.x, kHeight - s.y - s.height, s.width, s.height}));
        const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        GLdouble projection[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        EXPECT_TRUE(std::equal(projection, projection + 16, identity)) << "the projection is the copy's";
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                int expected[3];
                ExpectedColour(layout, x, y, expected);
                const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
                for (int i = 0; i < 3; ++i)
                    wrong += std::abs(p[i] - expected[i]) > (i < 2 ? 8 : 2) ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0);
    }
    presenter.release();
}

// Would catch, where each monitor has a surface of its own (Wayland's
// outputs): the capture read from the virtual window's place instead of the
// source surface's own corner, a copy drawn at its place in the virtual
// window instead of at its surface's origin, no black around it, or the
// scene's viewport lost. One buffer plays both surfaces in turn, each at its
// lower-left corner as a surface of that size would have it.
TEST(MonitorPresenter, DrawsEachMonitorOnItsOwnSurface)
{
    // The source second in the virtual window; the other monitor wider than
    // its picture, which it shows whole, scaled down, with black sides.
    const PixelRect other{0, 10, 100, 40};
    const PixelRect source{100, 0, 120, 60};
    const MonitorLayout layout({other, source}, 220, 60);
    ASSERT_EQ(layout.getCopies().size(), 1u);
    OffscreenContext context(kWidth, kHeight);
    ASSERT_TRUE(context.isCurrent());
    SetFixedRenderState();
    MonitorPresenter presenter;
    presenter.fit(layout, 0, MonitorPresenter::Surfaces::OnePerMonitor);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawRamp();
    presenter.present();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f); // what the other surface held before
    glClear(GL_COLOR_BUFFER_BIT);
    presenter.presentCopy(layout.getCopies()[0], other);

    std::vector<GLint> viewport(4);
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::vector<GLint>{0, 0, source.width, source.height}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
    int wrong = 0;
    for (int y = 0; y < other.height; ++y)
        for (int x = 0; x < other.width; ++x) {
            int expected[3];
            ExpectedColour(layout, other.x + x, other.y + y, expected);
            const std::uint8_t* p = &rgb[(static_cast<std::size_t>(kHeight - other.height + y) * kWidth + x) * 3];
            for (int i = 0; i < 3; ++i)
                wrong += std::abs(p[i] - expected[i]) > (i < 2 ? 8 : 2) ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0);
    presenter.release();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
}
