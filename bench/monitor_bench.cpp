// quorvelin-monitor-bench: the steady frame on one, two and three equal
// monitors side by side, and on two where the second is smaller (3/4 the
// size, so its copy is scaled), as the full-screen hosts present it:
// RenderFrame on the first monitor, MonitorPresenter::present copying its
// picture to the others, then glFinish. Each window has an OSMesa context
// (llvmpipe) of its own, sharing the scene's textures with the first, and
// the windows take turns frame by frame, so that all see the same machine.
// (One context moved from buffer to buffer keeps memory for every move.)
// Operator new is counted over the timed frames.
//   quorvelin-monitor-bench [--size WxH] [--samples N]   (WxH: one monitor)
// Prints markdown table rows: monitors, window, the median and 10th-90th
// percentile of the wall time in milliseconds, the median CPU time of the
// process (llvmpipe's threads included; steadier than wall time on a shared
// machine), each median's excess over one monitor, and the allocations per
// frame. Exit status 0, 1 without a context, 2 on a bad
// command line.
#include <GL/osmesa.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "bench/sample_stats.h"
#include "host/monitors/monitor_presenter.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/scene_objects.h"
#include "scene/render_frame.h"
#include "scene/render_state.h"

namespace {
bool Counting = false;
long long Allocations = 0;
const int kLayouts = 4;
const char* const kNames[kLayouts] = {"1", "2", "3", "2, the second 3/4 the size (scaled copy)"};
const int kWarmUpFrames = 30;
const char* const kUsage = "usage: quorvelin-monitor-bench [--size WxH] [--samples N]\n";
} // namespace

namespace {
double CpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void* Allocate(std::size_t size)
{
    if (Counting)
        ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv)
{
    int width = 1024;
    int height = 768;
    int samples = 200;
    for (int i = 1; i < argc; i += 2) {
        const std::string name = argv[i];
        const bool ok = i + 1 < argc
                        && (name == "--size" ? std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2 && width > 0
                                                   && height > 0 && width <= 4096 && height <= 4096
                                             : name == "--samples" && (samples = std::atoi(argv[i + 1])) > 0);
        if (!ok) {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    std::vector<OSMesaContext> contexts;
    std::vector<std::vector<std::uint8_t>> buffers;
    std::vector<MonitorLayout> layouts;
    const std::vector<std::vector<PixelRect>> monitors = {
        {{0, 0, width, height}},
        {{0, 0, width, height}, {width, 0, width, height}},
        {{0, 0, width, height}, {width, 0, width, height}, {2 * width, 0, width, height}},
        {{0, 0, width, height}, {width, height / 8, width * 3 / 4, height * 3 / 4}}};
    std::vector<int> windowWidths;
    for (const std::vector<PixelRect>& list : monitors) {
        windowWidths.push_back(list.back().x + list.back().width);
        buffers.emplace_back(static_cast<std::size_t>(windowWidths.back()) * height * 4);
        layouts.emplace_back(list, windowWidths.back(), height);
        contexts.push_back(OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, contexts.empty() ? nullptr : contexts[0]));
    }
    std::vector<MonitorPresenter> presenters(kLayouts);
    const auto use = [&](int n) {
        const std::size_t i = static_cast<std::size_t>(n);
        return contexts[i] != nullptr
               && OSMesaMakeCurrent(contexts[i], buffers[i].data(), GL_UNSIGNED_BYTE, windowWidths[i], height) != 0;
    };
    for (int n = kLayouts - 1; n >= 0; --n) {
        if (!use(n)) {
            std::fprintf(stderr, "quorvelin-monitor-bench: no OSMesa context\n");
            return 1;
        }
        // The scene's fixed state belongs to each context; its textures are shared.
        if (n > 0)
            SetFixedRenderState();
    }
    SetFramePauseEnabled(false);
    InitScene(width, height);
    while (IntroPhase < 4)
        RenderFrame();

    std::vector<std::vector<double>> times(kLayouts);
    std::vector<std::vector<double>> cpuTimes(kLayouts);
    long long allocations[kLayouts] = {};
    for (int frame = 0; frame < kLayouts * (kWarmUpFrames + samples); ++frame) {
        const int n = frame % kLayouts;
        use(n);
        presenters[static_cast<std::size_t>(n)].fit(layouts[static_cast<std::size_t>(n)]);
        glFinish();
        Allocations = 0;
        Counting = true;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuMilliseconds();
        RenderFrame();
        presenters[static_cast<std::size_t>(n)].present();
        glFinish();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const double cpuMs = CpuMilliseconds() - cpuStart;
        Counting = false;
        if (frame >= kLayouts * kWarmUpFrames) {
            times[static_cast<std::size_t>(n)].push_back(ms);
            cpuTimes[static_cast<std::size_t>(n)].push_back(cpuMs);
            allocations[n] += Allocations;
        }
    }
    double oneMonitor = 0.0;
    double oneMonitorCpu = 0.0;
    for (int n = 0; n < kLayouts; ++n) {
        const SampleStats stats = summarise(times[static_cast<std::size_t>(n)]);
        const double cpu = summarise(cpuTimes[static_cast<std::size_t>(n)]).median;
        if (n == 0) {
            oneMonitor = stats.median;
            oneMonitorCpu = cpu;
        }
        std::printf("| %s | %dx%d | %.3f | %.3f-%.3f | %.3f | %+.3f | %+.3f | %.3f |\n", kNames[n],
                    windowWidths[static_cast<std::size_t>(n)], height, stats.median, stats.p10, stats.p90, cpu,
                    stats.median - oneMonitor, cpu - oneMonitorCpu, static_cast<double>(allocations[n]) / samples);
    }
    for (MonitorPresenter& presenter : presenters)
        presenter.release();
    for (OSMesaContext context : contexts)
        OSMesaDestroyContext(context);
    return 0;
}
