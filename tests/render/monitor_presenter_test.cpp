#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/monitors/monitor_presenter.h"
#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/render_state.h"

namespace {
// A window of three monitors with gaps: the largest (2:1) draws; a tall one
// gets the middle of its picture enlarged, a wide one all of it, halved, with
// black sides.
const int kWidth = 200;
const int kHeight = 60;
const std::vector<PixelRect> kMonitors = {{0, 0, 96, 48}, {96, 0, 40, 60}, {136, 10, 64, 24}};

// Fills the view with red rising to the right and green rising downwards,
// so every copied pixel says where in the picture it came from.
void DrawRamp()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glColor3f(0.0f, 1.0f, 0.5f);
    glVertex2f(-1.0f, -1.0f);
    glColor3f(1.0f, 1.0f, 0.5f);
    glVertex2f(1.0f, -1.0f);
    glColor3f(1.0f, 0.0f, 0.5f);
    glVertex2f(1.0f, 1.0f);
    glColor3f(0.0f, 0.0f, 0.5f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    SetFixedRenderState();
}
} // namespace

// Would catch: a copy stretched, off centre, upside down or drawn over a
// bezel or a gap; the fallback for a too-small texture limit left out; or
// the viewport, matrices or switches left for the next frame as the copy
// needed them.
TEST(MonitorPresenter, CopiesTheSourcePictureOntoEachMonitorAndRestoresTheSceneState)
{
    OffscreenContext context(kWidth, kHeight);
    ASSERT_TRUE(context.isCurrent());
    SetFixedRenderState();
    const MonitorLayout layout(kMonitors, kWidth, kHeight);
    const PixelRect& source = layout.getSource();
    const struct {
        const char* name;
        int largestTexture;
        bool throughTexture;
    } paths[] = {{"through a texture", 0, true}, {"by pixel copies, where no texture is large enough", 16, false}};
    for (const auto& path : paths) {
        SCOPED_TRACE(path.name);
        MonitorPresenter presenter;
        presenter.fit(layout, path.largestTexture);
        ASSERT_EQ(presenter.copiesThroughTexture(), path.throughTexture);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawRamp();
        GLdouble projection[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        presenter.present();

        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], source.x);
        EXPECT_EQ(viewport[1], kHeight - source.y - source.height);
        EXPECT_EQ(viewport[2], source.width);
        EXPECT_EQ(viewport[3], source.height);
        GLdouble after[16];
        glGetDoublev(GL_PROJECTION_MATRIX, after);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(after[i], projection[i]);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

        // Each pixel against the ramp at the place of the picture it shows;
        // black wherever no copy and no source lies.
        const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                double sx = x + 0.5;
                double sy = y + 0.5;
                bool shown = x >= source.x && x < source.x + source.width && y >= source.y && y < source.y + source.height;
                for (const MonitorCopy& c : layout.getCopies())
                    if (x >= c.shown.x && x < c.shown.x + c.shown.width && y >= c.shown.y && y < c.shown.y + c.shown.height) {
                        sx = c.areaLeft + (x + 0.5 - c.shown.x) * (c.areaRight - c.areaLeft) / c.shown.width;
                        sy = c.areaTop + (y + 0.5 - c.shown.y) * (c.areaBottom - c.areaTop) / c.shown.height;
                        shown = true;
                    }
                const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
                const int red = shown ? static_cast<int>(255.0 * (sx - source.x) / source.width) : 0;
                const int green = shown ? static_cast<int>(255.0 * (sy - source.y) / source.height) : 0;
                // One source pixel's step of the ramp, and rounding.
                if (std::abs(p[0] - red) > 8 || std::abs(p[1] - green) > 8 || std::abs(p[2] - (shown ? 128 : 0)) > 2)
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0);
        presenter.release();
    }
}

// One monitor: the view is the whole window, as it was before monitors were
// counted, and presenting adds nothing to the frame.
TEST(MonitorPresenter, LeavesAOneMonitorFrameAsDrawn)
{
    OffscreenContext context(kWidth, kHeight);
    ASSERT_TRUE(context.isCurrent());
    SetFixedRenderState();
    MonitorPresenter presenter;
    presenter.fit(MonitorLayout({{0, 0, kWidth, kHeight}}, kWidth, kHeight));
    EXPECT_FALSE(presenter.copiesThroughTexture());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_TRUE(viewport[0] == 0 && viewport[1] == 0 && viewport[2] == kWidth && viewport[3] == kHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawRamp();
    const std::vector<std::uint8_t> drawn = context.readRgbTopDown();
    presenter.present();
    EXPECT_EQ(context.readRgbTopDown(), drawn);
}
