// quorvelin-frame-bench: the whole frame on OSMesa (llvmpipe), as the offscreen
// host renders it. The show is played into its steady phase; then, in one run,
// phase-4 frames (RenderFrame, then glFinish) alternate with baseline frames
// that only clear and flush, so both see the same machine. A second series
// times each draw of the steady frame with glFinish around it.
//   quorvelin-frame-bench [--size WxH] [--samples N] [--png FILE]
//   quorvelin-frame-bench --renderer   names the OpenGL implementation
//   quorvelin-frame-bench --startup WxH   where the player's start goes, in one process
//   quorvelin-frame-bench --instructions WxH N   N steady frames, then N broken
//       down, for valgrind --tool=callgrind (LP_NUM_THREADS=0 keeps llvmpipe's
//       work in this thread; --instr-atstart=no leaves the intro uninstrumented):
//       one dump for the baseline frames, one for the steady frames and one
//       per part, whatever else the machine is doing. N of 65 or more takes in
//       a fresh copy of the background, as every 65th steady frame takes one
// Prints markdown table rows: median, 10th-90th percentile, in milliseconds.
// Exit status 0, 1 without a context, 2 on a bad command line.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <valgrind/callgrind.h>

#include "bench/sample_stats.h"
#include "host/offscreen/offscreen_context.h"
#include "host/offscreen/png_file.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/phase_sequencer.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

namespace {
const char* const kUsage = "usage: quorvelin-frame-bench [--size WxH] [--samples N] [--png FILE]";
const int kWarmUpFrames = 30;

struct Options {
    int width = 640;
    int height = 480;
    int samples = 200;
    std::string png;
};

bool parsePositive(const char* text, int limit, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 1 || parsed > limit)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            return false;
        const char* name = argv[i];
        const char* value = argv[i + 1];
        if (std::strcmp(name, "--size") == 0) {
            const char* x = std::strchr(value, 'x');
            if (x == nullptr)
                return false;
            const std::string width(value, x);
            if (!parsePositive(width.c_str(), 8192, options.width) || !parsePositive(x + 1, 8192, options.height))
                return false;
        } else if (std::strcmp(name, "--samples") == 0) {
            if (!parsePositive(value, 1000000, options.samples))
                return false;
        } else if (std::strcmp(name, "--png") == 0) {
            options.png = value;
        } else {
            return false;
        }
    }
    return true;
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The processor time of all the process's threads (the renderer's too): less
// disturbed than the wall time by other work on a shared machine.
double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct FrameTimes {
    std::vector<double> wall;
    std::vector<double> cpu;
};

template <typename Frame>
double timeFrame(FrameTimes* times, Frame frame)
{
    const double cpu = cpuMilliseconds();
    const Clock::time_point start = Clock::now();
    frame();
    glFinish();
    const double wall = millisecondsSince(start);
    if (times != nullptr) {
        times->wall.push_back(wall);
        times->cpu.push_back(cpuMilliseconds() - cpu);
    }
    return wall;
}

// The yardstick: RenderFrame's own start (every pixel of the frame is
// written by the clear) and its flush, without the show's step.
double timeBaselineFrame(FrameTimes* times = nullptr)
{
    return timeFrame(times, [] {
        BeginFrame();
        glFlush();
    });
}

double timeShowFrame(FrameTimes* times = nullptr)
{
    return timeFrame(times, [] { RenderFrame(); });
}

// One steady frame with glFinish after the frame's start and after each part
// of the sequencer's steady step, which are the scene's own; pieces[0] is
// the start (the clear), pieces[1 + i] part i.
void timeBrokenDownFrame(std::vector<double>* pieces)
{
    Clock::time_point start = Clock::now();
    const auto lap = [&](int piece) {
        glFinish();
        const Clock::time_point now = Clock::now();
        pieces[piece].push_back(std::chrono::duration<double, std::milli>(now - start).count());
        start = now;
    };
    BeginFrame();
    lap(0);
    for (int i = 0; i < kSteadyPartCount; ++i) {
        kSteadyParts[i].run();
        lap(1 + i);
    }
    glFlush();
}

void printRow(const char* size, const char* what, const SampleStats& stats)
{
    std::printf("| %s | %s | %.3f | %.3f-%.3f | %zu |\n", size, what, stats.median, stats.p10, stats.p90,
                stats.count);
}
} // namespace

namespace {
// The steps of the offscreen player's start, each finished with glFinish.
int timeStartup(const char* sizeText)
{
    int width = 0;
    int height = 0;
    if (std::sscanf(sizeText, "%dx%d", &width, &height) != 2 || width < 1 || height < 1 || width > 8192
        || height > 8192)
        return 2;
    SetFramePauseEnabled(false);
    Clock::time_point start = Clock::now();
    OffscreenContext context(width, height);
    if (!context.isCurrent())
        return 1;
    const double contextMs = millisecondsSince(start);
    start = Clock::now();
    InitScene(width, height);
    glFinish();
    const double initMs = millisecondsSince(start);
    const double firstMs = timeShowFrame();
    const double secondMs = timeShowFrame();
    std::printf("| %s | OSMesa context | %.2f |\n", sizeText, contextMs);
    std::printf("| %s | InitScene: 7 textures, fixed state, scene objects, mesh text | %.2f |\n", sizeText, initMs);
    std::printf("| %s | first frame (the driver compiles its shaders for the first draw) | %.2f |\n", sizeText,
                firstMs);
    std::printf("| %s | second frame | %.2f |\n", sizeText, secondMs);
    return 0;
}
} // namespace

namespace {
// Instructions per frame under callgrind: the whole frames, then each part.
int countInstructions(const char* sizeText, int frames)
{
    int width = 0;
    int height = 0;
    if (std::sscanf(sizeText, "%dx%d", &width, &height) != 2 || width < 1 || height < 1 || width > 8192
        || height > 8192 || frames < 1)
        return 2;
    OffscreenContext context(width, height);
    if (!context.isCurrent())
        return 1;
    SetFramePauseEnabled(false);
    InitScene(width, height);
    while (IntroPhase < 4)
        RenderFrame();
    // Under --instr-atstart=no the intro runs uninstrumented, some times faster.
    CALLGRIND_START_INSTRUMENTATION;
    // The first frames of each kind compile the renderer's shaders.
    std::vector<std::vector<double>> pieces(1 + kSteadyPartCount);
    for (int i = 0; i < 3; ++i) {
        timeBaselineFrame();
        timeShowFrame();
        timeBrokenDownFrame(pieces.data());
    }
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < frames; ++i)
        timeBaselineFrame();
    CALLGRIND_DUMP_STATS_AT("baseline frame");
    for (int i = 0; i < frames; ++i)
        timeShowFrame();
    CALLGRIND_DUMP_STATS_AT("phase-4 frame");
    for (int i = 0; i < frames; ++i) {
        BeginFrame();
        glFinish();
        for (int part = 0; part < kSteadyPartCount; ++part) {
            CALLGRIND_ZERO_STATS;
            kSteadyParts[part].run();
            glFinish();
            CALLGRIND_DUMP_STATS_AT(kSteadyParts[part].name);
        }
        glFlush();
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--instructions") == 0)
        return countInstructions(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--startup") == 0)
        return timeStartup(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "--renderer") == 0) {
        OffscreenContext context(16, 16);
        if (!context.isCurrent())
            return 1;
        std::printf("%s, OpenGL %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                    reinterpret_cast<const char*>(glGetString(GL_VERSION)));
        return 0;
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "quorvelin-frame-bench: bad command line (%s)\n", kUsage);
        return 2;
    }
    OffscreenContext context(options.width, options.height);
    if (!context.isCurrent()) {
        std::fprintf(stderr, "quorvelin-frame-bench: no offscreen OpenGL context of %dx%d\n", options.width,
                     options.height);
        return 1;
    }
    SetFramePauseEnabled(false);
    InitScene(options.width, options.height);
    long introFrames = 0;
    for (; IntroPhase < 4; ++introFrames)
        RenderFrame();
    for (int i = 0; i < kWarmUpFrames; ++i) {
        timeBaselineFrame();
        timeShowFrame();
    }

    FrameTimes baseline;
    FrameTimes show;
    for (int i = 0; i < options.samples; ++i) {
        timeBaselineFrame(&baseline);
        timeShowFrame(&show);
    }
    std::vector<std::vector<double>> pieces(1 + kSteadyPartCount);
    for (int i = 0; i < options.samples; ++i)
        timeBrokenDownFrame(pieces.data());
    if (!options.png.empty()) {
        RenderFrame();
        if (!WritePng(options.png, options.width, options.height, context.readRgbTopDown())) {
            std::fprintf(stderr, "quorvelin-frame-bench: cannot write '%s'\n", options.png.c_str());
            return 1;
        }
    }

    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", options.width, options.height);
    const SampleStats baselineStats = summarise(baseline.wall);
    const SampleStats showStats = summarise(show.wall);
    const SampleStats baselineCpu = summarise(baseline.cpu);
    const SampleStats showCpu = summarise(show.cpu);
    printRow(size, "baseline frame: clear, flush", baselineStats);
    printRow(size, "phase-4 frame: RenderFrame", showStats);
    printRow(size, "baseline frame, CPU time of all threads", baselineCpu);
    printRow(size, "phase-4 frame, CPU time of all threads", showCpu);
    double sum = 0.0;
    for (int i = 0; i <= kSteadyPartCount; ++i) {
        const SampleStats stats = summarise(pieces[i]);
        sum += stats.median;
        const std::string what = std::string("  part: ") + (i == 0 ? "clear" : kSteadyParts[i - 1].name);
        printRow(size, what.c_str(), stats);
    }
    std::printf("| %s | sum of the draws' medians | %.3f | | |\n", size, sum);
    std::printf("| %s | **ratio phase-4 / baseline (medians)** | **%.2f** | | |\n", size,
                showStats.median / baselineStats.median);
    std::printf("| %s | ratio phase-4 / baseline, CPU time (medians) | %.2f | | |\n", size,
                showCpu.median / baselineCpu.median);
    std::fprintf(stderr, "quorvelin-frame-bench: %ld intro frames, then %d samples of each\n", introFrames,
                 options.samples);
    return 0;
}
