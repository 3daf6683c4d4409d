#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/monitors/monitor_layout.h"

namespace {
// A layout in words: where the scene is drawn, which part of its picture
// (columns, rows) each further monitor shows where, and what a frame captures.
std::string Describe(const MonitorLayout& layout)
{
    std::ostringstream out;
    const auto rect = [&out](const PixelRect& r) { out << r.width << 'x' << r.height << '+' << r.x << '+' << r.y; };
    out << "draw ";
    rect(layout.getSource());
    for (const MonitorCopy& c : layout.getCopies()) {
        out << "; copy " << c.areaLeft << '-' << c.areaRight << ',' << c.areaTop << '-' << c.areaBottom << " to ";
        rect(c.shown);
    }
    if (!layout.getCopies().empty()) {
        out << "; capture ";
        rect(layout.getCapture());
    }
    return out.str();
}
} // namespace

// Would catch: one view stretched over the bounding box, a copy not centred
// or out of proportion, the scene drawn on a smaller monitor than it could be,
// a view for a clone or for what lies outside the window, or no view at all
// when the platform names no monitor.
TEST(MonitorLayout, GivesEachMonitorTheShowCentredAtItsOwnAspect)
{
    const struct {
        const char* name; std::vector<PixelRect> monitors; int width, height; const char* expected;
    } cases[] = {
        {"no monitor reported: the window is one", {}, 800, 600, "draw 800x600+0+0"},
        {"two equal side by side", {{0, 0, 1024, 768}, {1024, 0, 1024, 768}}, 2048, 768,
         "draw 1024x768+0+0; copy 0-1024,0-768 to 1024x768+1024+0; capture 1024x768+0+0"},
        {"a narrower monitor shows the middle of the larger one's picture at its own height",
         {{1280, 100, 1024, 768}, {0, 0, 1280, 720}}, 2304, 868,
         "draw 1280x720+0+0; copy 160-1120,0-720 to 1024x768+1280+100; capture 960x720+160+0"},
        {"a wider monitor shows all of it with black sides", {{0, 0, 1024, 768}, {1024, 0, 1280, 600}}, 2304, 768,
         "draw 1024x768+0+0; copy 0-1024,0-768 to 800x600+1264+0; capture 1024x768+0+0"},
        {"three in a row: the largest draws, wherever it is",
         {{0, 0, 800, 600}, {800, 0, 1920, 1080}, {2720, 0, 800, 600}}, 3520, 1080,
         "draw 1920x1080+800+0; copy 1040-2480,0-1080 to 800x600+0+0; copy 1040-2480,0-1080 to 800x600+2720+0; "
         "capture 1440x1080+1040+0"},
        {"a smaller clone and a duplicate add no view", {{0, 0, 1920, 1080}, {0, 0, 1024, 768}, {0, 0, 1920, 1080}},
         1920, 1080, "draw 1920x1080+0+0"},
        {"parts outside the window are cut off; empty and outside monitors are ignored",
         {{-100, 0, 1124, 768}, {1024, 0, 0, 768}, {5000, 0, 800, 600}}, 1024, 768, "draw 1024x768+0+0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(MonitorLayout(c.monitors, c.width, c.height)), c.expected) << c.name;
}
