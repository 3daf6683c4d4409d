#include "host/offscreen/player_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {
// Large enough for any screen, small enough that the buffers stay sane.
const long kMaxSide = 8192;
// About a week of frames at a thousand frames a second.
const long kMaxFrame = 999999999;

// A whole decimal number in [low, high], nothing else in the text.
bool parseNumber(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseSize(const std::string& text, PlayerOptions& options)
{
    const std::size_t x = text.find('x');
    long long width = 0;
    long long height = 0;
    if (x == std::string::npos || !parseNumber(text.substr(0, x), 1, kMaxSide, width)
        || !parseNumber(text.substr(x + 1), 1, kMaxSide, height))
        return false;
    options.width = static_cast<int>(width);
    options.height = static_cast<int>(height);
    return true;
}

bool parseFrames(const std::string& text, std::vector<long>& frames)
{
    frames.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        long long frame = 0;
        if (!parseNumber(text.substr(start, comma - start), 0, kMaxFrame, frame))
            return false;
        frames.push_back(static_cast<long>(frame));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return true;
}
} // namespace

const char* const PlayerUsage =
    "Usage: quorvelin-render --size WxH --frames A,B,C... --out DIR [--seed N] [--sheet]\n"
    "Plays the Quorvelin-Saver show headless (OSMesa, no display needed) and\n"
    "writes the chosen frames as PNG files.\n"
    "\n"
    "  --size WxH           frame size in pixels, each side 1 to 8192\n"
    "  --frames A,B,C...    the frames to write, counted from 0 (the first frame\n"
    "                       drawn), in any order; the show plays every frame up\n"
    "                       to the last one, one animation step per frame\n"
    "  --out DIR            writes DIR/frame-NNNNN.png for each listed frame,\n"
    "                       making DIR if needed and replacing files of those names\n"
    "  --seed N             seeds the show's random numbers (0 to 4294967295), so\n"
    "                       that the same command writes the same pictures;\n"
    "                       without it the show seeds from the clock\n"
    "  --sheet              also writes DIR/sheet.png, the frames side by side\n"
    "                       with their numbers\n"
    "  --help               show this text\n"
    "  --version            show the program's version\n"
    "\n"
    "Prints one line naming the files written. Exit status: 0 written, 1 could\n"
    "not render or write, 2 bad command line.\n";

const char* const PlayerVersion = "quorvelin-render (Quorvelin-Saver) " QUORVELIN_VERSION "\n";

bool ParsePlayerOptions(int argc, const char* const* argv, PlayerOptions& options, std::string& error)
{
    options = PlayerOptions();
    bool haveSize = false;
    bool haveFrames = false;
    bool haveOut = false;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--sheet") {
            options.sheet = true;
            continue;
        }
        if (flag == "--help") {
            options.help = true;
            continue;
        }
        if (flag == "--version") {
            options.version = true;
            continue;
        }
        if (flag != "--size" && flag != "--frames" && flag != "--out" && flag != "--seed") {
            error = "unknown argument '" + flag + "'";
            return false;
        }
        if (i + 1 >= argc) {
            error = flag + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (flag == "--size") {
            if (!parseSize(value, options)) {
                error = "--size wants WxH with each side 1.." + std::to_string(kMaxSide) + ", not '" + value + "'";
                return false;
            }
            haveSize = true;
        } else if (flag == "--frames") {
            if (!parseFrames(value, options.frames)) {
                error = "--frames wants frame numbers 0.." + std::to_string(kMaxFrame)
                        + " separated by commas, not '" + value + "'";
                return false;
            }
            haveFrames = true;
        } else if (flag == "--out") {
            if (value.empty()) {
                error = "--out wants a directory";
                return false;
            }
            options.outDir = value;
            haveOut = true;
        } else {
            long long seed = 0;
            if (!parseNumber(value, 0, 4294967295LL, seed)) {
                error = "--seed wants a whole number 0..4294967295, not '" + value + "'";
                return false;
            }
            options.reseed = true;
            options.seed = static_cast<unsigned int>(seed);
        }
    }
    if ((!haveSize || !haveFrames || !haveOut) && !options.help && !options.version) {
        error = std::string("missing ") + (!haveSize ? "--size" : !haveFrames ? "--frames" : "--out");
        return false;
    }
    return true;
}
