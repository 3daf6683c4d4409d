// quorvelin-soak: plays the show offscreen for a long time, as a host would,
// and checks that it stays sound: resident memory flat after warm-up, the
// turn angle inside [0, 360), no GL error, a picture still drawn at the end.
//   quorvelin-soak [--frames N] [--warmup N] [--limit KiB] [--size WxH]
// Prints one summary line; exit status 0 when everything held, 1 when not,
// 2 on a bad command line. Leaks are LeakSanitizer's to find (native-asan).
// Emitter re-placements (the one allocation a frame may make) are counted from
// outside, by their change of course, so the memory check is seen to mean something.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
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
    long pages = 0, resident = -1;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = -1;
        std::fclose(statm);
    }
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::array<float, 4> CourseOf(std::size_t emitter)
{
    const ParticleEmitter& e = *SceneEmitters.getEmitter(emitter);
    return {e.getVelocity().getX(), e.getVelocity().getY(), e.getDrift().getX(), e.getDrift().getY()};
}
} // namespace

int main(int argc, char** argv)
{
    // Resident memory wanders by a MiB or so over a few thousand frames as
    // the GL driver and the allocator settle; a long run allows less.
    long frames = 1000000, warmup = 20000, limitKiB = 1024;
    int width = 64, height = 48;
    bool good = argc % 2 == 1;
    for (int i = 1; good && i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        char* end = nullptr;
        char tail = 0;
        if (name == "--frames" || name == "--warmup" || name == "--limit")
            (name == "--frames" ? frames : name == "--warmup" ? warmup : limitKiB) = std::strtol(argv[i + 1], &end, 10);
        good = name == "--size" ? std::sscanf(argv[i + 1], "%dx%d%c", &width, &height, &tail) == 2
                                : end != nullptr && end != argv[i + 1] && *end == '\0';
    }
    if (!good || warmup < 0 || frames <= warmup || width < 1 || height < 1 || width > 4096 || height > 4096) {
        std::fprintf(stderr, "usage: quorvelin-soak [--frames N] [--warmup N] [--limit KiB] [--size WxH]"
                             " (warm-up shorter than the run)\n");
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
    long warmKiB = -1, peakKiB = -1, replacements = 0, badAngleFrame = -1;
    std::vector<std::array<float, 4>> courses(SceneEmitters.size());
    for (long frame = 0; frame < frames; ++frame) {
        for (std::size_t i = 0; i < courses.size(); ++i)
            courses[i] = CourseOf(i);
        RenderFrame();
        for (std::size_t i = 0; i < courses.size(); ++i)
            replacements += CourseOf(i) != courses[i];
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
    std::printf("soak: %ld frames at %dx%d, %ld emitter re-placements, resident %ld KiB at warm-up (frame %ld), "
                "peak after it %+ld KiB (limit %ld), TurnAngle %.1f%s, GL error 0x%04x, %s, %s\n",
                frames, width, height, replacements, warmKiB, warmup, growth, limitKiB,
                double(TurnAngle), badAngleFrame < 0 ? " (in [0, 360) throughout)" : " (LEFT [0, 360))", glError,
                IntroPhase > 3 ? (drawn ? "last frame drawn" : "LAST FRAME BLACK") : "STEADY STATE NEVER REACHED",
                held ? "held" : "FAILED");
    return held ? 0 : 1;
}
