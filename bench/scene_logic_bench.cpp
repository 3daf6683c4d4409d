// quorvelin-logic-bench: the saver's own CPU work per frame of the steady
// phase, with the stub GL of stub_gl.cpp in place of a driver. The scene is
// built and played into phase 4 exactly as a host does (InitScene, then
// RenderFrame until the show reaches its steady state), and each benchmark
// times one piece of a steady frame on the process-wide scene objects.
//
// Counters per frame: GL calls made (the stub counts them), the saver's own
// allocations split into emitter re-placements (one particle array each) and
// anything else, which must stay 0.
//
//   quorvelin-logic-bench [benchmark options]   time the pieces
//   quorvelin-logic-bench --instructions N      run N frames of each piece for
//       valgrind --tool=callgrind, which then writes one dump per piece; the
//       instruction counts do not depend on what else the machine is doing.
#include <benchmark/benchmark.h>

#include <valgrind/callgrind.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "bench/stub_gl.h"
#include "mesh/triangle.h"
#include "particles/particle.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/mirror_pass.h"
#include "scene/phase_sequencer.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

namespace {
// Everything in this program is the saver's or the benchmark's: the stub GL
// allocates nothing. The library's own bookkeeping runs outside the timed loop.
std::size_t ArrayAllocations = 0;
std::size_t OtherAllocations = 0;

void* allocate(std::size_t size)
{
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    ++OtherAllocations;
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    ++ArrayAllocations;
    return allocate(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {
// Plays the show into its steady phase once per process; with the stub GL the
// 1300-odd frames of the intro take well under a second.
void reachSteadyPhase()
{
    static bool ready = false;
    if (ready)
        return;
    SetFramePauseEnabled(false);
    InitScene(640, 480);
    while (IntroPhase < 4)
        RenderFrame();
    ready = true;
}

// Runs one benchmark body per frame, then counts GL calls and allocations per
// frame over untimed frames, so nothing of the benchmark library is counted.
template <typename Body>
void perFrame(benchmark::State& state, Body body)
{
    reachSteadyPhase();
    for (auto _ : state)
        body();

    const int kCountedFrames = 1000;
    const unsigned long long calls = StubGlCallCount();
    const std::size_t arrays = ArrayAllocations;
    const std::size_t others = OtherAllocations;
    for (int i = 0; i < kCountedFrames; ++i)
        body();
    // Read before the counters map allocates its entries.
    const double glCalls = static_cast<double>(StubGlCallCount() - calls) / kCountedFrames;
    const double replacements = static_cast<double>(ArrayAllocations - arrays) / kCountedFrames;
    const double otherAllocations = static_cast<double>(OtherAllocations - others) / kCountedFrames;
    state.counters["gl_calls"] = glCalls;
    state.counters["replacements"] = replacements;
    state.counters["other_allocs"] = otherAllocations;
}

// The steady frame's own logic, no drawing: the sequencer's last steady part
// (sparkle and emitter updates, the turn).
void steadyLogic()
{
    kSteadyParts[kSteadyPartCount - 1].run();
}

void SparkleFieldUpdate(benchmark::State& state)
{
    perFrame(state, [] { SparkleField.update(); });
}

// Every emitter's update and the four bound tests; a re-placement when one leaves.
void EmitterSetUpdate(benchmark::State& state)
{
    perFrame(state, [] { SceneEmitters.updateAll(); });
}

// One re-placement on its own: six draws, a new particle array and 20 spawns.
void EmitterSetRespawn(benchmark::State& state)
{
    perFrame(state, [] { SceneEmitters.respawn(SceneEmitters.getEmitter(0)); });
}

void SteadyLogic(benchmark::State& state)
{
    perFrame(state, [] { steadyLogic(); });
}

// A whole phase-4 step: every draw's own CPU work against the stub, and the logic.
void PhaseStep(benchmark::State& state)
{
    perFrame(state, [] { RunPhaseStep(); });
}

// The frame bracket around it: clear, identity, step, flush (the pause is off).
void RenderWholeFrame(benchmark::State& state)
{
    perFrame(state, [] { RenderFrame(); });
}

// One draw of the model: three parts, each a call of its display list of 32 faces.
void ModelDraw(benchmark::State& state)
{
    perFrame(state, [] { SceneModel.draw(); });
}

void TriangleDraw(benchmark::State& state)
{
    reachSteadyPhase();
    // One face sent on its own, as the display lists were recorded.
    const Triangle& face = SceneModel.getPart(0).getFaces().front();
    perFrame(state, [&face] { face.draw(); });
}

// The steady frame's draws one by one, in the sequencer's order.
void BackgroundDraw(benchmark::State& state)
{
    perFrame(state, [] { BackgroundSprite.draw(); });
}

// The mirror pass and the upright model: the model drawn twice (from its
// display lists), the floor twice.
void ModelWithReflectionDraw(benchmark::State& state)
{
    perFrame(state, [] { DrawModelWithReflection(); });
}

void SparkleFieldDraw(benchmark::State& state)
{
    perFrame(state, [] { SparkleField.draw(); });
}

void EmittersDraw(benchmark::State& state)
{
    perFrame(state, [] { SceneEmitters.drawAll(); });
}

void CornerLogoDraw(benchmark::State& state)
{
    perFrame(state, [] { TitleLogo.draw(); });
}
} // namespace

BENCHMARK(SteadyLogic);
BENCHMARK(SparkleFieldUpdate);
BENCHMARK(EmitterSetUpdate);
BENCHMARK(EmitterSetRespawn);
BENCHMARK(ModelDraw);
BENCHMARK(TriangleDraw);
BENCHMARK(BackgroundDraw);
BENCHMARK(ModelWithReflectionDraw);
BENCHMARK(SparkleFieldDraw);
BENCHMARK(EmittersDraw);
BENCHMARK(CornerLogoDraw);
BENCHMARK(PhaseStep);
BENCHMARK(RenderWholeFrame);

namespace {
// One callgrind dump per piece, named after its benchmark, over `frames` frames.
template <typename Body>
void countPiece(const char* name, int frames, Body body)
{
    for (int i = 0; i < 10; ++i)
        body();
    CALLGRIND_ZERO_STATS;
    for (int i = 0; i < frames; ++i)
        body();
    CALLGRIND_DUMP_STATS_AT(name);
}

int countInstructions(int frames)
{
    reachSteadyPhase();
    countPiece("SteadyLogic", frames, [] { steadyLogic(); });
    countPiece("SparkleFieldUpdate", frames, [] { SparkleField.update(); });
    countPiece("EmitterSetUpdate", frames, [] { SceneEmitters.updateAll(); });
    countPiece("EmitterSetRespawn", frames, [] { SceneEmitters.respawn(SceneEmitters.getEmitter(0)); });
    countPiece("ModelDraw", frames, [] { SceneModel.draw(); });
    countPiece("PhaseStep", frames, [] { RunPhaseStep(); });
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--instructions") == 0) {
        const int frames = std::atoi(argv[2]);
        return frames > 0 ? countInstructions(frames) : 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
