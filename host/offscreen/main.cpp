// quorvelin-render: plays the show headless on OSMesa, as a host would (InitScene
// once, RenderFrame per frame), and writes chosen frames as PNG files.
//   quorvelin-render --size WxH --frames A,B,C... --out DIR [--seed N] [--sheet]
// Writes DIR/frame-NNNNN.png per listed frame (frame 0 is the first RenderFrame)
// and, with --sheet, DIR/sheet.png. Exit status: 0 done, 1 could not render or
// write, 2 bad command line.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "host/offscreen/contact_sheet.h"
#include "host/offscreen/offscreen_context.h"
#include "host/offscreen/player_options.h"
#include "host/offscreen/png_file.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"

namespace {
const char* const kUsage =
    "usage: quorvelin-render --size WxH --frames A,B,C... --out DIR [--seed N] [--sheet]";

// Makes the directory and any missing parents; true when it exists afterwards.
bool makeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string framePath(const std::string& dir, long frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05ld.png", frame);
    return dir + "/" + name;
}
} // namespace

int main(int argc, char** argv)
{
    PlayerOptions options;
    std::string error;
    if (!ParsePlayerOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quorvelin-render: %s (%s)\n", error.c_str(), kUsage);
        return 2;
    }
    if (!makeDirectories(options.outDir)) {
        std::fprintf(stderr, "quorvelin-render: cannot create directory '%s'\n", options.outDir.c_str());
        return 1;
    }

    OffscreenContext context(options.width, options.height);
    if (!context.isCurrent()) {
        std::fprintf(stderr, "quorvelin-render: no offscreen OpenGL context of %dx%d\n", options.width,
                     options.height);
        return 1;
    }
    // Offscreen nobody watches the frame rate: no pause between frames.
    SetFramePauseEnabled(false);
    if (options.reseed)
        SetSceneSeed(options.seed);
    InitScene(options.width, options.height);

    ContactSheet sheet(options.width, options.height);
    std::size_t next = 0;
    // Every frame up to the last listed one is rendered, since the show
    // advances per frame; only the listed ones are read back.
    for (long frame = 0; next < options.frames.size(); ++frame) {
        RenderFrame();
        if (frame != options.frames[next])
            continue;
        ++next;
        const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
        const std::string path = framePath(options.outDir, frame);
        if (!WritePng(path, options.width, options.height, rgb)) {
            std::fprintf(stderr, "quorvelin-render: cannot write '%s'\n", path.c_str());
            return 1;
        }
        if (options.sheet)
            sheet.add(frame, rgb);
    }
    if (options.sheet) {
        const std::string path = options.outDir + "/sheet.png";
        if (!WritePng(path, sheet.getWidth(), sheet.getHeight(), sheet.render())) {
            std::fprintf(stderr, "quorvelin-render: cannot write '%s'\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
