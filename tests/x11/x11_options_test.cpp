#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/x11/x11_options.h"

namespace {
X11OptionsResult Parse(std::vector<const char*> args)
{
    return ParseX11Options(static_cast<int>(args.size()), args.data());
}
} // namespace

TEST(X11Options, NoArgumentsPlaysInAWindowAtSixtyFourTicks)
{
    const X11OptionsResult result = Parse({});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.options.mode, X11Options::Mode::Window);
    EXPECT_EQ(result.options.fps, 64);
    EXPECT_FALSE(result.options.help);
}

TEST(X11Options, DaemonSpellingsWithOneDashAndTheLastModeCounts)
{
    EXPECT_EQ(Parse({"-root"}).options.mode, X11Options::Mode::Root);
    EXPECT_EQ(Parse({"--fullscreen", "--root"}).options.mode, X11Options::Mode::Root);
    EXPECT_EQ(Parse({"--root", "--fullscreen"}).options.mode, X11Options::Mode::Fullscreen);

    const X11OptionsResult preview = Parse({"--root", "-window-id", "0x1a00007", "--fps", "30"});
    ASSERT_TRUE(preview.ok()) << preview.error;
    EXPECT_EQ(preview.options.mode, X11Options::Mode::WindowId);
    EXPECT_EQ(preview.options.windowId, 0x1a00007ul);
    EXPECT_EQ(preview.options.fps, 30);

    const X11OptionsResult inlineValues = Parse({"--window-id=4194311", "--fps=200"});
    ASSERT_TRUE(inlineValues.ok()) << inlineValues.error;
    EXPECT_EQ(inlineValues.options.windowId, 4194311ul);
    EXPECT_EQ(inlineValues.options.fps, 200);

    EXPECT_EQ(Parse({"--window-id", "5", "--window"}).options.mode, X11Options::Mode::Window);
}

TEST(X11Options, WindowIdsAreDecimalOrHexAndNothingElse)
{
    unsigned long id = 77;
    EXPECT_TRUE(ParseWindowId("010", id));
    EXPECT_EQ(id, 10ul) << "a leading zero is not octal";
    EXPECT_TRUE(ParseWindowId("0X1fffFFFF", id));
    EXPECT_EQ(id, 0x1FFFFFFFul);

    for (const char* bad : {"", "0", "0x0", "0x", "-5", "+5", " 5", "5 ", "12abc", "0x1g", "0x20000000",
                            "99999999999999999999999", "0x1234567890abcdef1"}) {
        id = 77;
        EXPECT_FALSE(ParseWindowId(bad, id)) << "'" << bad << "'";
        EXPECT_EQ(id, 77ul) << "a refused id must leave the old value: '" << bad << "'";
    }
}

TEST(X11Options, BadLinesGiveAnErrorNamingTheCulprit)
{
    struct Case {
        std::vector<const char*> args;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {{"--frobnicate"}, "--frobnicate"},
        {{"-fps", "30"}, "-fps"},
        {{"--window-id"}, "--window-id"},
        {{"--window-id", "zz"}, "zz"},
        {{"-window-id", "0"}, "'0'"},
        {{"--fps"}, "--fps"},
        {{"--fps", "0"}, "'0'"},
        {{"--fps", "1001"}, "1001"},
        {{"--fps", "-3"}, "-3"},
        {{"--fps", "sixty"}, "sixty"},
        {{"--fps="}, "''"},
        {{"stray"}, "stray"},
        {{"--help", "--nope"}, "--nope"},
    };
    for (const Case& c : cases) {
        const X11OptionsResult result = Parse(c.args);
        EXPECT_FALSE(result.ok()) << c.args[0];
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line: " << result.error;
    }
    EXPECT_EQ(Parse({"--fps", "1"}).options.fps, 1);
    EXPECT_EQ(Parse({"--fps", "1000"}).options.fps, 1000);
}

TEST(X11Options, HelpAndVersionAreAskedForAlongsideValidFlags)
{
    const X11OptionsResult help = Parse({"--fullscreen", "--help"});
    ASSERT_TRUE(help.ok());
    EXPECT_TRUE(help.options.help);
    EXPECT_NE(std::string(X11Usage).find("--window-id"), std::string::npos);

    const X11OptionsResult version = Parse({"-root", "--version"});
    ASSERT_TRUE(version.ok());
    EXPECT_TRUE(version.options.version);
    EXPECT_FALSE(version.options.help);
    EXPECT_NE(std::string(X11Version).find(QUORVELIN_VERSION), std::string::npos);
}
