// quorvelin-soak: plays the show offscreen for a long time, as a host would,
// and checks that it stays sound: resident memory flat after warm-up, the
// turn angle inside [0, 360), no GL error, a picture still drawn at the end.
//   quorvelin-soak [--frames N] [--warmup N] [--limit KiB]      (at 64x48)
// Prints one summary line; exit status 0 when everything held, 1 when not,
// 2 on a bad command line. Leaks are LeakSanitizer's to find (native-asan).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <string>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

namespace {
long ResidentKiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
} // namespace

int main(int argc, char** argv)
{
    // Resident memory wanders by a MiB or so over a few thousand frames as
    // the GL driver and the allocator settle; a long run allows less.
    long frames = 1000000, warmup = 20000, limitKiB = 1024;
    const int width = 64, height = 48;
    bool good = argc % 2 == 1;
    for (int i = 1; good && i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        char* end = nullptr;
        long& value = name == "--frames" ? frames : name == "--warmup" ? warmup : limitKiB;
        value = std::strtol(argv[i + 1], &end, 10);
        good = (name == "--frames" || name == "--warmup" || name == "--limit") && end != argv[i + 1] && *end == '\0';
    }
    if (!good || warmup < 0 || frames <= warmup) {
        std::fprintf(stderr, "usage: quorvelin-soak [--frames N] [--warmup N] [--limit KiB] (warm-up shorter than the run)\n");
        return 2;
    }
    // A frame this small is not worth sharing out: llvmpipe's threads would only add hand-offs.
    setenv("LP_NUM_THREADS", "0", 0);
    OffscreenContext context(width, height);
    if (!context.isCurrent()) {
        std::fprintf(stderr, "quorvelin-soak: no offscreen OpenGL context\n");
        return 1;
    }
    SetFramePauseEnabled(false);
    InitScene(width, height);

    // The peak up to the end of warm-up is the mark; the peak after it must
    // stay within reach of it (allocators give pages back and take them again).
    const long sampleEvery = std::max(100L, std::min(10000L, frames / 100));
    long warmKiB = -1, peakKiB = -1, badAngleFrame = -1;
    for (long frame = 0; frame < frames; ++frame) {
        RenderFrame();
        if (badAngleFrame < 0 && !(TurnAngle >= 0.0f && TurnAngle < 360.0f))
            badAngleFrame = frame;
        if ((frame + 1) % sampleEvery == 0 || frame + 1 == warmup || frame + 1 == frames) {
            long& peak = frame < warmup ? warmKiB : peakKiB;
            peak = std::max(peak, ResidentKiB());
        }
    }
    const GLenum glError = glGetError();
    const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
    long lit = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        lit += rgb[i] + rgb[i + 1] + rgb[i + 2] > 60;
    // The steady state is never black: over 5 % of its pixels are lit.
    const bool drawn = lit * 20 > long(rgb.size() / 3);
    const long growth = peakKiB - warmKiB;
    const bool held = warmKiB > 0 && growth <= limitKiB && badAngleFrame < 0 && glError == GL_NO_ERROR
                      && drawn && IntroPhase > 3;
    std::printf("soak: %ld frames at %dx%d, resident %ld KiB at warm-up (frame %ld), "
                "peak after it %+ld KiB (limit %ld), TurnAngle %.1f%s, GL error 0x%04x, %s, %s\n",
                frames, width, height, warmKiB, warmup, growth, limitKiB,
                double(TurnAngle), badAngleFrame < 0 ? " (in [0, 360) throughout)" : " (LEFT [0, 360))", glError,
                IntroPhase > 3 ? (drawn ? "last frame drawn" : "LAST FRAME BLACK") : "STEADY STATE NEVER REACHED",
                held ? "held" : "FAILED");
    return held ? 0 : 1;
}
