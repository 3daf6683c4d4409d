// quorvelin-render: plays the show headless on OSMesa, as a host would (InitScene
// once, RenderFrame per frame, presented on its one monitor as the full-screen
// hosts present theirs), and writes chosen frames as PNG files; its options
// are in PlayerUsage (player_options.cpp).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "host/monitors/monitor_presenter.h"
#include "host/offscreen/contact_sheet.h"
#include "host/offscreen/offscreen_context.h"
#include "host/offscreen/player_options.h"
#include "host/offscreen/png_file.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"

namespace {
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

// The one line that says what was written: the files, the first and last
// when there are many.
std::string writtenLine(const PlayerOptions& options)
{
    const std::size_t count = options.frames.size();
    std::string line = "quorvelin-render: wrote ";
    if (count == 1)
        line += framePath(options.outDir, options.frames.front());
    else
        line += std::to_string(count) + " frames, " + framePath(options.outDir, options.frames.front()) + " to "
                + framePath(options.outDir, options.frames.back());
    if (options.sheet)
        line += " and " + options.outDir + "/sheet.png";
    return line;
}
} // namespace

int main(int argc, char** argv)
{
    PlayerOptions options;
    std::string error;
    if (!ParsePlayerOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quorvelin-render: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? PlayerUsage : PlayerVersion, stdout);
        return 0;
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
    // One monitor, the whole buffer: the reference frames hold for a
    // full-screen host's single monitor too.
    MonitorPresenter presenter;
    presenter.fit(MonitorLayout(options.width, options.height));

    ContactSheet sheet(options.width, options.height);
    std::size_t next = 0;
    // Every frame up to the last listed one is rendered, since the show
    // advances per frame; only the listed ones are read back.
    for (long frame = 0; next < options.frames.size(); ++frame) {
        RenderFrame();
        presenter.present();
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
    std::printf("%s\n", writtenLine(options).c_str());
    return 0;
}
