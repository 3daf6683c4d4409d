#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/linux/linux_options.h"
#include "host/linux/pointer_travel.h"

namespace {
LinuxOptionsResult Parse(std::vector<const char*> args) { return ParseLinuxOptions(int(args.size()), args.data()); }
using Mode = LinuxOptions::Mode;
} // namespace

// Would catch: a default other than a window at 64 frames a second, the
// daemons' one-dash spellings or the --name=value form refused, a mode other
// than the last one given counting, a window id or frame rate misread,
// --help or --version lost beside other flags, a version text without the
// project's version, or a bad line accepted or refused without naming the
// culprit on one line.
TEST(LinuxOptions, GoodLinesGiveTheirModeRateAndWindowAndBadOnesTheirCulprit)
{
    const struct {
        std::vector<const char*> args;
        Mode mode;
        int fps;
        unsigned long windowId;
        bool help, version;
    } cases[] = {
        {{}, Mode::Window, 64, 0, false, false},
        {{"-root"}, Mode::Root, 64, 0, false, false},
        {{"--fullscreen", "--root"}, Mode::Root, 64, 0, false, false},
        {{"--root", "--fullscreen", "--fps", "1"}, Mode::Fullscreen, 1, 0, false, false},
        {{"--root", "-window-id", "0x1a00007", "--fps", "1000"}, Mode::WindowId, 1000, 0x1a00007, false, false},
        {{"--window-id=010", "--fps=200"}, Mode::WindowId, 200, 10, false, false}, // a leading zero is not octal
        {{"--window-id", "0X1fffFFFF", "--window"}, Mode::Window, 64, 0x1fffffff, false, false},
        {{"--fullscreen", "--help"}, Mode::Fullscreen, 64, 0, true, false},
        {{"-root", "--version"}, Mode::Root, 64, 0, false, true},
        {{"--background", "--wayland"}, Mode::Background, 64, 0, false, false},
        {{"--x11", "--root", "--wayland", "--help"}, Mode::Root, 64, 0, true, false},
    };
    for (const auto& c : cases) {
        const LinuxOptionsResult result = Parse(c.args);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(result.options.mode, c.mode) << result.error;
        EXPECT_EQ(result.options.fps, c.fps);
        EXPECT_EQ(result.options.windowId, c.windowId);
        EXPECT_TRUE(result.options.help == c.help && result.options.version == c.version);
    }
    EXPECT_NE(std::string(LinuxVersion).find(QUORVELIN_VERSION), std::string::npos);

    const struct {
        std::vector<const char*> args;
        const char* mentions;
    } bad[] = {
        {{"--frobnicate"}, "--frobnicate"}, {{"-fps", "30"}, "-fps"}, {{"--window-id"}, "--window-id"},
        {{"--window-id", "zz"}, "zz"}, {{"-window-id", "0"}, "'0'"}, {{"--window-id", "0x20000000"}, "0x20000000"},
        {{"--window-id", " 5"}, "' 5'"}, {{"--window-id", "99999999999999999999999"}, "999"}, {{"--fps"}, "--fps"},
        {{"--fps", "0"}, "'0'"}, {{"--fps", "1001"}, "1001"}, {{"--fps", "sixty"}, "sixty"}, {{"--fps="}, "''"},
        {{"stray"}, "stray"}, {{"--help", "--nope"}, "--nope"}, {{"--background", "--x11"}, "--background"},
        {{"--wayland", "-root"}, "--root"}, {{"--window-id", "7", "--wayland"}, "--window-id"},
    };
    for (const auto& c : bad) {
        const LinuxOptionsResult result = Parse(c.args);
        EXPECT_FALSE(result.ok()) << c.args[0];
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

// Would catch: a daemon's --root or --window-id sent to Wayland because the
// session also runs it, the wallpaper tried on X11, a forcing flag ignored,
// or an empty WAYLAND_DISPLAY taken for a compositor.
TEST(LinuxOptions, EachModeRunsOnTheDisplaySystemItNeedsOrTheSessions)
{
    using Display = LinuxOptions::Display;
    const struct {
        std::vector<const char*> args;
        const char* waylandDisplay;
        Display chosen;
    } cases[] = {
        {{}, "wayland-1", Display::Wayland},         {{}, nullptr, Display::X11},
        {{}, "", Display::X11},                      {{"--x11"}, "wayland-1", Display::X11},
        {{"--wayland"}, nullptr, Display::Wayland},  {{"--fullscreen"}, "wayland-0", Display::Wayland},
        {{"--root"}, "wayland-1", Display::X11},     {{"--window-id", "5"}, "wayland-1", Display::X11},
        {{"--background"}, nullptr, Display::Wayland},
    };
    for (const auto& c : cases) {
        const LinuxOptionsResult result = Parse(c.args);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(ChooseDisplay(result.options, c.waylandDisplay), c.chosen) << (c.args.empty() ? "" : c.args[0]);
    }
}

// Would catch: the full-screen show ending on a nudge of 4 pixels or less in
// total, surviving a larger one, counting from the last position instead of
// the first, or adding x and y other than by their sizes.
TEST(PointerTravel, EndsTheShowPastFourPixelsInTotalFromTheFirstPosition)
{
    const struct {
        std::vector<std::pair<double, double>> path; // after the start at (100, 100)
        bool ends;
    } cases[] = {
        {{{104, 100}}, false},       {{{105, 100}}, true},        {{{102, 98}}, false},
        {{{102, 97}}, true},         {{{96, 100}}, false},        {{{97.5, 102.5}}, true},
        {{{101, 100}, {102, 100}, {103, 100}, {104, 100}, {105, 100}}, true}, // from the start, not step by step
        {{{101, 100}, {102, 100}, {101, 99}}, false},
    };
    for (const auto& c : cases) {
        PointerTravel travel;
        EXPECT_FALSE(travel.endsShow(100, 100));
        bool ended = false;
        for (const auto& [x, y] : c.path)
            ended = travel.endsShow(x, y) || ended;
        EXPECT_EQ(ended, c.ends) << c.path.back().first << ", " << c.path.back().second;
    }
}
