// quorvelin-soak: plays the show offscreen for a long time, as a host would,
// and checks that it stays sound: resident memory flat after warm-up, the turn
// angle inside [0, 360), no GL error, a picture still drawn at the end.
//   quorvelin-soak [--frames N] [--size WxH] [--warmup N] [--png FILE]
// Prints one summary line; exit status 0 when everything held, 1 when not,
// 2 on a bad command line. Leaks are LeakSanitizer's to find (native-asan).
//
// Emitter re-placements and sparkle respawns are watched from outside through
// the scene's public objects, so the scene pays nothing for being counted: an
// emitter was placed again when its course changed or it did not move by
// velocity + drift; a sparkle started again when it rose (it only ever falls).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "host/offscreen/png_file.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

namespace {
const long kMemoryGrowthLimitKiB = 1024;
const long kMemorySampleEvery = 10000;

struct Options {
    long frames = 1000000;
    long warmup = 20000;
    int width = 64;
    int height = 48;
    std::string png;
};

bool parseCount(const char* text, long& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0)
        return false;
    value = parsed;
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (name == "--frames") {
            if (!parseCount(value, options.frames))
                return false;
        } else if (name == "--warmup") {
            if (!parseCount(value, options.warmup))
                return false;
        } else if (name == "--size") {
            int w = 0, h = 0;
            char tail = 0;
            if (std::sscanf(value, "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 4096 || h > 4096)
                return false;
            options.width = w;
            options.height = h;
        } else if (name == "--png") {
            options.png = value;
        } else {
            return false;
        }
    }
    return options.warmup < options.frames;
}

long residentKiB()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

bool same(const Vector3& a, const Vector3& b)
{
    return a.getX() == b.getX() && a.getY() == b.getY() && a.getZ() == b.getZ();
}

struct EmitterState {
    Vector3 position, velocity, drift;
};

EmitterState stateOf(const ParticleEmitter& emitter)
{
    return {emitter.getPosition(), emitter.getVelocity(), emitter.getDrift()};
}

bool isSteady(int phase) { return phase < 0 || phase > 3; }
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: quorvelin-soak [--frames N] [--size WxH] [--warmup N] [--png FILE]"
                             " (warm-up shorter than the run)\n");
        return 2;
    }
    // A frame this small is not worth sharing out: llvmpipe's worker threads
    // would only add hand-offs to every frame.
    setenv("LP_NUM_THREADS", "0", 0);
    OffscreenContext context(options.width, options.height);
    if (!context.isCurrent()) {
        std::fprintf(stderr, "quorvelin-soak: no offscreen OpenGL context\n");
        return 1;
    }
    SetFramePauseEnabled(false);
    InitScene(options.width, options.height);

    // Room for the observations is taken once, before the first frame.
    const std::size_t emitterCount = SceneEmitters.size();
    const std::size_t sparkleCount = SparkleField.getSparkleCount();
    std::vector<EmitterState> emitters(emitterCount);
    std::vector<float> sparkleY(sparkleCount);

    long replacements = 0, respawns = 0;
    long warmKiB = -1, largestKiB = -1, badAngleFrame = -1;
    for (long frame = 0; frame < options.frames; ++frame) {
        const bool steady = isSteady(IntroPhase);
        for (std::size_t i = 0; i < emitterCount; ++i)
            emitters[i] = stateOf(*SceneEmitters.getEmitter(i));
        for (std::size_t i = 0; i < sparkleCount; ++i)
            sparkleY[i] = SparkleField.getSparkle(i).getPosition().getY();

        RenderFrame();

        if (steady) {
            for (std::size_t i = 0; i < emitterCount; ++i) {
                const EmitterState& before = emitters[i];
                const EmitterState after = stateOf(*SceneEmitters.getEmitter(i));
                const Vector3 moved = (before.position + before.velocity) + before.drift;
                if (!same(after.position, moved) || !same(after.velocity, before.velocity) ||
                    !same(after.drift, before.drift))
                    ++replacements;
            }
        }
        for (std::size_t i = 0; i < sparkleCount; ++i) {
            if (SparkleField.getSparkle(i).getPosition().getY() > sparkleY[i])
                ++respawns;
        }
        if (badAngleFrame < 0 && !(TurnAngle >= 0.0f && TurnAngle < 360.0f))
            badAngleFrame = frame;
        // The peak up to the end of warm-up is the mark; the peak after it must
        // stay within reach of it (allocators give pages back and take them again).
        const long done = frame + 1;
        if (done == options.warmup || done % kMemorySampleEvery == 0) {
            const long now = residentKiB();
            long& peak = done <= options.warmup ? warmKiB : largestKiB;
            if (now > peak)
                peak = now;
        }
    }
    const long endKiB = residentKiB();
    if (endKiB > largestKiB)
        largestKiB = endKiB;
    if (largestKiB < warmKiB)
        largestKiB = warmKiB;
    const GLenum glError = glGetError();

    // The last frame must still show something: the steady state is never black.
    const std::vector<std::uint8_t> rgb = context.readRgbTopDown();
    long lit = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        lit += (rgb[i] + rgb[i + 1] + rgb[i + 2]) > 60;
    const bool drawn = lit * 20 > static_cast<long>(rgb.size() / 3); // over 5 % of the pixels
    const bool pngWritten = options.png.empty() || WritePng(options.png, options.width, options.height, rgb);

    const long growth = largestKiB - warmKiB;
    const bool memoryHeld = warmKiB > 0 && growth <= kMemoryGrowthLimitKiB;
    const bool held = memoryHeld && badAngleFrame < 0 && glError == GL_NO_ERROR && drawn && pngWritten &&
                      isSteady(IntroPhase);
    std::printf("soak: %ld frames at %dx%d, %ld emitter re-placements, %ld sparkle respawns, "
                "resident %ld KiB at warm-up (frame %ld) and %ld KiB at end (peak growth %+ld KiB), "
                "TurnAngle %.1f%s, GL error 0x%04x, %s\n",
                options.frames, options.width, options.height, replacements, respawns, warmKiB,
                options.warmup, endKiB, growth, static_cast<double>(TurnAngle),
                badAngleFrame < 0 ? " (in [0, 360) throughout)" : " (LEFT [0, 360))", glError,
                held ? "held" : "FAILED");
    if (badAngleFrame >= 0)
        std::fprintf(stderr, "quorvelin-soak: TurnAngle left [0, 360) at frame %ld\n", badAngleFrame);
    if (!memoryHeld)
        std::fprintf(stderr, "quorvelin-soak: resident memory grew by %ld KiB after warm-up (limit %ld)\n",
                     growth, kMemoryGrowthLimitKiB);
    if (!isSteady(IntroPhase))
        std::fprintf(stderr, "quorvelin-soak: the show never reached its steady state\n");
    if (!drawn)
        std::fprintf(stderr, "quorvelin-soak: the last frame is black\n");
    if (!pngWritten)
        std::fprintf(stderr, "quorvelin-soak: cannot write '%s'\n", options.png.c_str());
    return held ? 0 : 1;
}
