#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/offscreen/player_options.h"

namespace {
bool Parse(std::vector<const char*> args, PlayerOptions& options, std::string& error)
{
    args.insert(args.begin(), "quorvelin-render");
    return ParsePlayerOptions(static_cast<int>(args.size()), args.data(), options, error);
}
} // namespace

TEST(PlayerOptions, ReadsAFullCommandLineWithFramesInPlayingOrder)
{
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--size", "640x480", "--frames", "1304,0,200,200", "--out", "out/sheet", "--seed",
                       "4294967295", "--sheet"},
                      options, error))
        << error;
    EXPECT_EQ(options.width, 640);
    EXPECT_EQ(options.height, 480);
    EXPECT_EQ(options.frames, (std::vector<long>{0, 200, 1304}));
    EXPECT_EQ(options.outDir, "out/sheet");
    EXPECT_TRUE(options.reseed);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_TRUE(options.sheet);

    ASSERT_TRUE(Parse({"--out", "d", "--frames", "7", "--size", "1x1"}, options, error));
    EXPECT_FALSE(options.reseed);
    EXPECT_FALSE(options.sheet);
}

// Every bad command line is refused with a reason, before anything is rendered.
TEST(PlayerOptions, RefusesBadCommandLinesWithAReason)
{
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--size", "64x48", "--frames", "1"},                         // no --out
        {"--size", "64x", "--frames", "1", "--out", "d"},             // half a size
        {"--size", "0x48", "--frames", "1", "--out", "d"},            // empty picture
        {"--size", "99999x48", "--frames", "1", "--out", "d"},        // absurd picture
        {"--size", "64x48x2", "--frames", "1", "--out", "d"},
        {"--size", "+64x48", "--frames", "1", "--out", "d"},
        {"--size", "64x48", "--frames", "1,,2", "--out", "d"},        // empty frame
        {"--size", "64x48", "--frames", "-1", "--out", "d"},          // before the first frame
        {"--size", "64x48", "--frames", "1,", "--out", "d"},
        {"--size", "64x48", "--frames", "99999999999999999999", "--out", "d"},
        {"--size", "64x48", "--frames", "1", "--out", "d", "--seed", "4294967296"},
        {"--size", "64x48", "--frames", "1", "--out", "d", "--seed"}, // value missing
        {"--size", "64x48", "--frames", "1", "--out", ""},
        {"--size", "64x48", "--frames", "1", "--out", "d", "--loop"}, // unknown
        {"--help", "--loop"},                                         // --help hides no mistake
    };
    for (const auto& args : bad) {
        PlayerOptions options;
        std::string error;
        std::string line;
        for (const char* arg : args)
            line += std::string(arg) + " ";
        EXPECT_FALSE(Parse(args, options, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line;
    }
}

// --help and --version answer on their own: a user asking for the options
// has none of the required ones yet.
TEST(PlayerOptions, HelpAndVersionNeedNoOtherArguments)
{
    struct Case {
        std::vector<const char*> args;
        bool help, version;
    };
    const std::vector<Case> cases = {
        {{"--help"}, true, false},
        {{"--version"}, false, true},
        {{"--size", "64x48", "--version", "--help"}, true, true},
    };
    for (const Case& c : cases) {
        PlayerOptions options;
        std::string error;
        ASSERT_TRUE(Parse(c.args, options, error)) << error;
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.version, c.version);
    }
    EXPECT_NE(std::string(PlayerUsage).find("--seed"), std::string::npos);
    EXPECT_NE(std::string(PlayerVersion).find(QUORVELIN_VERSION), std::string::npos);
}
