#include <gtest/gtest.h>

#include <vector>

#include "host/monitors/monitor_layout.h"

namespace {
// A copy's area always spans the source's rows, so only its columns are listed.
struct Copy {
    PixelRect shown;
    double areaLeft, areaRight;
};
struct Case {
    const char* name;
    std::vector<PixelRect> monitors;
    int windowWidth, windowHeight;
    PixelRect source;
    std::vector<Copy> copies;
    PixelRect capture;
};

void ExpectRect(const PixelRect& actual, const PixelRect& expected, const char* what)
{
    EXPECT_EQ(actual.x, expected.x) << what;
    EXPECT_EQ(actual.y, expected.y) << what;
    EXPECT_EQ(actual.width, expected.width) << what;
    EXPECT_EQ(actual.height, expected.height) << what;
}
} // namespace

// Would catch: one view stretched over the bounding box, a copy not centred
// or out of proportion, the scene drawn on a smaller monitor than it could be,
// a view for a clone or for what lies outside the window, or no view at all
// when the platform names no monitor.
TEST(MonitorLayout, GivesEachMonitorTheShowCentredAtItsOwnAspect)
{
    const Case cases[] = {
        {"no monitor reported: the window is one", {}, 800, 600, {0, 0, 800, 600}, {}, {}},
        {"one monitor", {{0, 0, 800, 600}}, 800, 600, {0, 0, 800, 600}, {}, {}},
        {"two equal side by side: the second shows the first's picture",
         {{0, 0, 1024, 768}, {1024, 0, 1024, 768}}, 2048, 768, {0, 0, 1024, 768},
         {{{1024, 0, 1024, 768}, 0, 1024}}, {0, 0, 1024, 768}},
        {"a narrower monitor shows the middle of the larger one's picture, at its own height",
         {{1280, 100, 1024, 768}, {0, 0, 1280, 720}}, 2304, 868, {0, 0, 1280, 720},
         {{{1280, 100, 1024, 768}, 160, 1120}}, {160, 0, 960, 720}},
        {"a wider monitor shows all of it with black sides",
         {{0, 0, 1024, 768}, {1024, 0, 1280, 600}}, 2304, 768, {0, 0, 1024, 768},
         {{{1264, 0, 800, 600}, 0, 1024}}, {0, 0, 1024, 768}},
        {"three in a row: the largest draws, wherever it is",
         {{0, 0, 800, 600}, {800, 0, 1920, 1080}, {2720, 0, 800, 600}}, 3520, 1080, {800, 0, 1920, 1080},
         {{{0, 0, 800, 600}, 1040, 2480}, {{2720, 0, 800, 600}, 1040, 2480}}, {1040, 0, 1440, 1080}},
        {"a smaller clone and a duplicate add no view",
         {{0, 0, 1920, 1080}, {0, 0, 1024, 768}, {0, 0, 1920, 1080}}, 1920, 1080, {0, 0, 1920, 1080}, {}, {}},
        {"parts outside the window are cut off; empty and outside monitors are ignored",
         {{-100, 0, 1124, 768}, {1024, 0, 0, 768}, {5000, 0, 800, 600}}, 1024, 768, {0, 0, 1024, 768}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MonitorLayout layout(c.monitors, c.windowWidth, c.windowHeight);
        ExpectRect(layout.getSource(), c.source, "source");
        ExpectRect(layout.getCapture(), c.capture, "capture");
        ASSERT_EQ(layout.getCopies().size(), c.copies.size());
        for (std::size_t i = 0; i < c.copies.size(); ++i) {
            const MonitorCopy& copy = layout.getCopies()[i];
            ExpectRect(copy.shown, c.copies[i].shown, "shown");
            EXPECT_DOUBLE_EQ(copy.areaLeft, c.copies[i].areaLeft);
            EXPECT_DOUBLE_EQ(copy.areaRight, c.copies[i].areaRight);
            EXPECT_DOUBLE_EQ(copy.areaTop, c.source.y);
            EXPECT_DOUBLE_EQ(copy.areaBottom, c.source.y + c.source.height);
        }
    }
}
