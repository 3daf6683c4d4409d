// The show played in-process, as a host plays it, for what its pictures
// cannot say: how long each phase lasts, the corner logo's exact alpha, what
// a frame allocates, GL errors, and the mirror on a context without stencil. How the show looks is reference_frames.py's to check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/frame_pause.h"
#include "scene/mirror_pass.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"
#include "tests/render/fresh_scene.h"

// Every operator new of this program is counted while `counting` is on. The
// saver's code is linked in; the GL driver lives in shared libraries and
// allocates as it likes, so a request counts when it comes from this program.
extern "C" char __executable_start;
extern "C" char etext;

namespace {
struct AllocationLog {
    bool counting = false;
    int scalar = 0, arrays = 0;
    std::size_t largestArray = 0;
} Allocations;

void* Allocate(std::size_t size, bool array, const void* caller)
{
    const char* code = static_cast<const char*>(caller);
    if (Allocations.counting && code >= &__executable_start && code < &etext) {
        ++(array ? Allocations.arrays : Allocations.scalar);
        Allocations.largestArray = std::max(Allocations.largestArray, array ? size : 0);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

__attribute__((noinline)) void* operator new(std::size_t size) { return Allocate(size, false, __builtin_return_address(0)); }
__attribute__((noinline)) void* operator new[](std::size_t size) { return Allocate(size, true, __builtin_return_address(0)); }
// Every form of new and delete comes from here, so that they pair (the GL driver uses the no-throw ones).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {
const int kWidth = 160, kHeight = 120;
} // namespace

// Would catch: a phase of the wrong length (single-precision fades give 401
// frames to each logo phase, 101 to the scene's), the corner logo left a
// shade above 0.8, a frame that allocates (only an emitter's re-placement
// may, in the steady state: one array of 20 particles, two for an emitter
// beyond a corner), or a GL error. (The turn's wrap at 360 is the soak's to see.)
// On the context the saver asks for, without stencil, and with a 16-bit
// depth buffer (OSMesa pairs a stencil only with a 24-bit depth).
TEST(Show, PlaysThroughOnEachContextWithoutAllocatingOrErring)
{
    for (const auto& [depth, stencil] : {std::pair{24, 8}, std::pair{24, 0}, std::pair{16, 0}}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth << ", stencil " << stencil);
        OffscreenContext context(kWidth, kHeight, depth, stencil);
        ASSERT_TRUE(context.isCurrent());
        StartScene(kWidth, kHeight);
        std::vector<int> phaseStarts;
        int placements = 0;
        float cornerAlpha = -1.0f;
        // The streams first leave the field about 330 frames into the steady state.
        for (int frame = 0; frame < 1700; ++frame) {
            const int phase = IntroPhase;
            Allocations = AllocationLog{true};
            RenderFrame();
            Allocations.counting = false;
            ASSERT_EQ(Allocations.scalar, 0) << "frame " << frame;
            ASSERT_LE(Allocations.arrays, phase < 4 ? 0 : 2 * int(SceneEmitters.size())) << "frame " << frame;
            ASSERT_LE(Allocations.largestArray, 20 * sizeof(Particle) + 16) << "frame " << frame;
            placements += Allocations.arrays;
            if (IntroPhase != phase)
                phaseStarts.push_back(frame + 1);
            if (IntroPhase == 4 && phase == 3)
                cornerAlpha = TitleLogo.getAlpha();
        }
        EXPECT_EQ(phaseStarts, (std::vector<int>{401, 802, 1203, 1304}));
        EXPECT_EQ(cornerAlpha, 0.8f);
        EXPECT_GT(placements, 0);

        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// Would catch: a mirror pass that draws nothing without a stencil buffer (it
// plays there, with the reflection unclipped) or leaks beyond the floor with
// one. The rows probed lie above the floor's far edge (about row 38 from the
// bottom at this size), where only an unclipped reflection reaches.
TEST(Mirror, ClippedToTheFloorOnlyWhenThereIsAStencilBuffer)
{
    for (const int stencil : {8, 0}) {
        OffscreenContext context(kWidth, kHeight, 24, stencil);
        ASSERT_TRUE(context.isCurrent());
        StartScene(kWidth, kHeight);
        SceneModel.setAlpha(1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
        DrawReflection();
        int lit = 0;
        for (int y = 42; y < 50; ++y)
            for (int x = 40; x < 120; ++x) {
                const OffscreenContext::Rgb p = context.pixel(x, y);
                lit += p.r + p.g + p.b > 0;
            }
        EXPECT_EQ(lit > 0, stencil == 0) << lit << " pixels lit above the floor with stencil " << stencil;
    }
}
