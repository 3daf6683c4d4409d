#pragma once
#include <string>
#include <vector>

// The offscreen player's command line:
//   --size WxH --frames A,B,C... --out DIR [--seed N] [--sheet]
//   --help | --version
struct PlayerOptions {
    int width = 0;
    int height = 0;
    // The frames to write, ascending and without repeats; frame 0 is the first RenderFrame.
    std::vector<long> frames;
    std::string outDir;
    bool reseed = false;
    unsigned int seed = 0;
    bool sheet = false;
    bool help = false;
    bool version = false;
};

// Fills options from argv; on a bad command line returns false with a
// one-line reason in error. --help or --version among otherwise valid
// arguments needs none of the others (--help wins).
bool ParsePlayerOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error);

// The texts --help and --version print.
extern const char* const PlayerUsage;
extern const char* const PlayerVersion;
