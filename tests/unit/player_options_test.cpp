#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/offscreen/player_options.h"

namespace {
bool Parse(std::vector<const char*> args, PlayerOptions& options, std::string& error)
{
    args.insert(args.begin(), "quorvelin-render");
    return ParsePlayerOptions(int(args.size()), args.data(), options, error);
}
} // namespace

// Would catch: frames rendered out of playing order or twice, a seed misread
// or taken when none was given, --help or --version wanting other arguments,
// or a bad command line accepted, or refused without a one-line reason,
// before anything is rendered.
TEST(PlayerOptions, ReadsGoodLinesAndRefusesBadOnesWithAReason)
{
    PlayerOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--size", "640x480", "--frames", "1304,0,200,200", "--out", "o", "--seed", "4294967295", "--sheet"},
                      options, error)) << error;
    EXPECT_TRUE(options.width == 640 && options.height == 480 && options.outDir == "o" && options.sheet);
    EXPECT_EQ(options.frames, (std::vector<long>{0, 200, 1304}));
    EXPECT_TRUE(options.reseed && options.seed == 4294967295u);
    ASSERT_TRUE(Parse({"--out", "d", "--frames", "7", "--size", "1x1"}, options, error));
    EXPECT_FALSE(options.reseed || options.sheet || options.help || options.version);
    // --help and --version answer on their own: a user asking for the options has none yet.
    ASSERT_TRUE(Parse({"--version"}, options, error) && options.version && !options.help);
    ASSERT_TRUE(Parse({"--size", "64x48", "--version", "--help"}, options, error) && options.version && options.help);
    EXPECT_NE(std::string(PlayerVersion).find(QUORVELIN_VERSION), std::string::npos);

    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--size", "64x48", "--frames", "1"},                         // no --out
        {"--size", "64x", "--frames", "1", "--out", "d"},             // half a size
        {"--size", "0x48", "--frames", "1", "--out", "d"},            // empty picture
        {"--size", "99999x48", "--frames", "1", "--out", "d"},        // absurd picture
        {"--size", "64x48", "--frames", "1,,2", "--out", "d"},        // empty frame
        {"--size", "64x48", "--frames", "-1", "--out", "d"},          // before the first frame
        {"--size", "64x48", "--frames", "99999999999999999999", "--out", "d"},
        {"--size", "64x48", "--frames", "1", "--out", "d", "--seed", "4294967296"},
        {"--size", "64x48", "--frames", "1", "--out", "d", "--seed"}, // value missing
        {"--size", "64x48", "--frames", "1", "--out", "d", "--loop"}, // unknown
        {"--help", "--loop"},                                         // --help hides no mistake
    };
    for (const auto& args : bad) {
        error.clear();
        EXPECT_FALSE(Parse(args, options, error)) << &args - bad.data();
        EXPECT_TRUE(!error.empty() && error.find('\n') == std::string::npos) << error;
    }
}
