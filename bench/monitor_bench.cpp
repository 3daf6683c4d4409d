// quorvelin-monitor-bench: the steady frame on one, two and three equal
// monitors side by side, as the full-screen hosts present it: RenderFrame on
// the first monitor, MonitorPresenter::present copying its picture to the
// others, then glFinish. One OSMesa context (llvmpipe) renders into three
// windows' buffers, taking them in turn frame by frame so that all three see
// the same machine. Operator new is counted over the timed frames.
//   quorvelin-monitor-bench [--size WxH] [--samples N]   (WxH: one monitor)
// Prints markdown table rows: monitors, window, median and 10th-90th
// percentile in milliseconds, the median's excess over one monitor, and the
// allocations per frame. Exit status 0, 1 without a context, 2 on a bad
// command line.
#include <GL/osmesa.h>

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

namespace {
bool Counting = false;
long long Allocations = 0;
const int kLayouts = 3;
const int kWarmUpFrames = 30;
const char* const kUsage = "usage: quorvelin-monitor-bench [--size WxH] [--samples N]\n";
} // namespace

namespace {
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

    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    std::vector<std::vector<std::uint8_t>> buffers;
    std::vector<MonitorLayout> layouts;
    for (int n = 1; n <= kLayouts; ++n) {
        buffers.emplace_back(static_cast<std::size_t>(width) * n * height * 4);
        std::vector<PixelRect> monitors;
        for (int i = 0; i < n; ++i)
            monitors.push_back(PixelRect{i * width, 0, width, height});
        layouts.emplace_back(monitors, width * n, height);
    }
    std::vector<MonitorPresenter> presenters(kLayouts);
    const auto use = [&](int n) {
        return OSMesaMakeCurrent(context, buffers[n].data(), GL_UNSIGNED_BYTE, width * (n + 1), height) != 0;
    };
    if (context == nullptr || !use(0)) {
        std::fprintf(stderr, "quorvelin-monitor-bench: no OSMesa context\n");
        return 1;
    }
    SetFramePauseEnabled(false);
    InitScene(width, height);
    while (IntroPhase < 4)
        RenderFrame();

    std::vector<std::vector<double>> times(kLayouts);
    long long allocations[kLayouts] = {};
    for (int frame = 0; frame < kLayouts * (kWarmUpFrames + samples); ++frame) {
        const int n = frame % kLayouts;
        use(n);
        presenters[static_cast<std::size_t>(n)].fit(layouts[static_cast<std::size_t>(n)]);
        glFinish();
        Allocations = 0;
        Counting = true;
        const auto start = std::chrono::steady_clock::now();
        RenderFrame();
        presenters[static_cast<std::size_t>(n)].present();
        glFinish();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        Counting = false;
        if (frame >= kLayouts * kWarmUpFrames) {
            times[static_cast<std::size_t>(n)].push_back(ms);
            allocations[n] += Allocations;
        }
    }
    double oneMonitor = 0.0;
    for (int n = 0; n < kLayouts; ++n) {
        const SampleStats stats = summarise(times[static_cast<std::size_t>(n)]);
        if (n == 0)
            oneMonitor = stats.median;
        std::printf("| %d | %dx%d | %.3f | %.3f-%.3f | %+.3f | %.3f |\n", n + 1, width * (n + 1), height,
                    stats.median, stats.p10, stats.p90, stats.median - oneMonitor,
                    static_cast<double>(allocations[n]) / samples);
    }
    for (MonitorPresenter& presenter : presenters)
        presenter.release();
    OSMesaDestroyContext(context);
    return 0;
}
