#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "particles/particle.h"
#include "resources/bitmap_source.h"
#include "scene/frame_pause.h"
#include "scene/render_frame.h"
#include "scene/scene_objects.h"

// The whole show, played once through as a host plays it. IntroPhase only
// grows and nothing resets it, so one test walks the show forward and checks
// each milestone on the way.

// Every operator new of this program is counted while `counting` is on, with
// the size and form of each request, so a frame's own allocations can be told
// apart from an emitter's re-placement (one array of particles). The saver's
// code is linked into this program; the GL driver lives in shared libraries
// and allocates as it likes (llvmpipe compiles its shaders with LLVM), so a
// request counts as the saver's when it comes from this program's own code.
extern "C" char __executable_start;
extern "C" char etext;

namespace {
struct AllocationLog {
    bool counting = false;
    int scalar = 0;
    int arrays = 0;
    int driver = 0;
    std::size_t smallestArray = 0;
    std::size_t largestArray = 0;
};
AllocationLog Allocations;

void* allocate(std::size_t size, bool array, const void* caller)
{
    const char* code = static_cast<const char*>(caller);
    const bool ours = code >= &__executable_start && code < &etext;
    if (Allocations.counting && !ours) {
        ++Allocations.driver;
    } else if (Allocations.counting) {
        if (array) {
            if (Allocations.arrays == 0 || size < Allocations.smallestArray)
                Allocations.smallestArray = size;
            if (size > Allocations.largestArray)
                Allocations.largestArray = size;
            ++Allocations.arrays;
        } else {
            ++Allocations.scalar;
        }
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

__attribute__((noinline)) void* operator new(std::size_t size)
{
    return allocate(size, false, __builtin_return_address(0));
}
__attribute__((noinline)) void* operator new[](std::size_t size)
{
    return allocate(size, true, __builtin_return_address(0));
}
// The no-throw forms pair with the same deletes, so they must come from here too.
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size, false, __builtin_return_address(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size, true, __builtin_return_address(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {
const int kWidth = 160;
const int kHeight = 120;
// The logos' 2 x 2 quads at z -5 cover 58 x 58 pixels of this view.
struct Box {
    int left, top, right, bottom; // pixels, top-down rows, right and bottom excluded
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
const Box kTitleBox{51, 31, 109, 89};
const Box kCaptionBox{51, 60, 109, 118};
// Rows of the caption below the title's quad.
const Box kCaptionOnlyBox{51, 89, 109, 118};

class Frame {
public:
    explicit Frame(const OffscreenContext& context) : rgb(context.readRgbTopDown()) {}
    int sum(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * kWidth + x) * 3;
        return rgb[i] + rgb[i + 1] + rgb[i + 2];
    }
    double mean(const Box& box) const
    {
        double total = 0.0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                total += sum(x, y);
        return total / ((box.right - box.left) * (box.bottom - box.top));
    }
    // Lit pixels outside every box given.
    int litOutside(std::initializer_list<Box> boxes) const
    {
        int lit = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool inside = false;
                for (const Box& box : boxes)
                    inside = inside || box.contains(x, y);
                lit += (!inside && sum(x, y) > 0) ? 1 : 0;
            }
        return lit;
    }
    // Pixels of the model's gold, lit or seen through additive blending.
    int gold(const Box& box) const
    {
        int count = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * kWidth + x) * 3;
                count += (rgb[i] > 120 && rgb[i] > rgb[i + 2] + 60 && rgb[i + 1] > rgb[i + 2] + 40) ? 1 : 0;
            }
        return count;
    }

private:
    std::vector<std::uint8_t> rgb;
};

// The mean of r + g + b over a picture, as the quad shows it at alpha 1.
double PictureMean(unsigned int id)
{
    const BitmapSource bitmap(id);
    const std::size_t stride = (static_cast<std::size_t>(bitmap.getWidth()) * 3 + 3) & ~std::size_t{3};
    const auto* bytes = static_cast<const std::uint8_t*>(bitmap.getPixels());
    double total = 0.0;
    for (int y = 0; y < bitmap.getHeight(); ++y)
        for (int x = 0; x < bitmap.getWidth() * 3; ++x)
            total += bytes[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)];
    return total / (static_cast<double>(bitmap.getWidth()) * bitmap.getHeight());
}

struct Course {
    Vector3 velocity, drift;
};

// Emitters whose course changed in a frame were placed again in it.
int Replacements(const std::vector<Course>& before)
{
    int placed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const ParticleEmitter& e = *SceneEmitters.getEmitter(i);
        if (e.getVelocity().getX() != before[i].velocity.getX() || e.getVelocity().getY() != before[i].velocity.getY()
            || e.getDrift().getX() != before[i].drift.getX() || e.getDrift().getY() != before[i].drift.getY())
            ++placed;
    }
    return placed;
}
} // namespace

// Plays the whole show on a context with the given buffers. Would catch: a
// phase of the wrong length, the corner logo not at exactly 0.8, a frame
// showing something other than its phase's pictures, a GL error, a per-frame
// allocation, or TurnAngle left to grow past 360.
static void PlayTheShow(int depthBits, int stencilBits)
{
    OffscreenContext context(kWidth, kHeight, depthBits, stencilBits);
    ASSERT_TRUE(context.isCurrent());
    GLint bits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    ASSERT_EQ(bits, depthBits);
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    ASSERT_EQ(bits > 0, stencilBits > 0);
    ASSERT_EQ(IntroPhase, 0) << "the show runs once per process: run this test on its own";
    SetFramePauseEnabled(false);
    InitScene(kWidth, kHeight);
    ASSERT_EQ(SceneEmitters.size(), 3u);
    std::srand(4711);

    const double titleMean = PictureMean(112);
    ASSERT_GT(titleMean, 5.0) << "the title picture is black: the probes below would prove nothing";

    const int kLastFrame = 2700;
    std::vector<int> phaseStart(5, -1);
    phaseStart[0] = 0;
    int placementsInPhase4 = 0;
    double captionAt500 = 0.0;

    for (int frame = 0; frame <= kLastFrame; ++frame) {
        const int phase = IntroPhase;
        std::vector<Course> courses;
        for (std::size_t i = 0; i < SceneEmitters.size(); ++i) {
            const ParticleEmitter& e = *SceneEmitters.getEmitter(i);
            courses.push_back(Course{e.getVelocity(), e.getDrift()});
        }

        Allocations = AllocationLog();
        Allocations.counting = true;
        RenderFrame();
        Allocations.counting = false;

        const int allocations = Allocations.scalar + Allocations.arrays;
        if (phase < 4) {
            ASSERT_EQ(allocations, 0) << "frame " << frame << " of phase " << phase << " allocates";
        } else {
            // Only a re-placement allocates: one array of 20 particles per placement,
            // two for an emitter beyond a corner.
            const int placed = Replacements(courses);
            placementsInPhase4 += placed;
            ASSERT_EQ(Allocations.scalar, 0) << "frame " << frame;
            ASSERT_LE(Allocations.arrays, 2 * placed) << "frame " << frame;
            ASSERT_GE(Allocations.arrays, placed) << "frame " << frame;
            if (Allocations.arrays > 0) {
                ASSERT_GE(Allocations.smallestArray, 20 * sizeof(Particle));
                ASSERT_LE(Allocations.largestArray, 20 * sizeof(Particle) + 16);
            }
        }
        if (IntroPhase != phase) {
            ASSERT_EQ(IntroPhase, phase + 1) << "frame " << frame;
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "end of phase " << phase;
            phaseStart[static_cast<std::size_t>(IntroPhase)] = frame + 1;
            if (IntroPhase == 4) {
                // Just above 0.8 by now, and replaced by exactly 0.8.
                EXPECT_EQ(TitleLogo.getAlpha(), 0.8f);
                EXPECT_GE(SceneModel.getAlpha(), 1.0f);
                EXPECT_GE(BackgroundSprite.getAlpha(), 1.0f);
                EXPECT_FALSE(SceneModel.getPart(0).isTranslucent());
                EXPECT_TRUE(SceneModel.getPart(0).isSpinning());
            }
        }

        const int milestones[] = {0, 100, 200, 400, 500, 800, 1000, 1260, 1500, 2600};
        if (std::find(std::begin(milestones), std::end(milestones), frame) == std::end(milestones))
            continue;
        const Frame shown(context);
        switch (frame) {
        case 0:
            // The title is drawn at alpha 0 before its first fade step.
            EXPECT_EQ(shown.litOutside({}), 0);
            break;
        case 100:
        case 200:
        case 400: {
            // Title only: nothing outside its quad, and its light grows with its
            // alpha (frame f draws it at f x 0.0025) as its picture says.
            EXPECT_EQ(shown.litOutside({kTitleBox}), 0) << "frame " << frame;
            EXPECT_NEAR(shown.mean(kTitleBox), titleMean * frame * 0.0025, titleMean * 0.1) << "frame " << frame;
            break;
        }
        case 500:
        case 800: {
            // Two logos: nothing outside them; the caption fades in below the title.
            EXPECT_EQ(shown.litOutside({kTitleBox, kCaptionBox}), 0) << "frame " << frame;
            EXPECT_NEAR(shown.mean(kTitleBox), titleMean, titleMean * 0.1);
            const double caption = shown.mean(kCaptionOnlyBox);
            if (frame == 500)
                captionAt500 = caption;
            else
                EXPECT_NEAR(caption / captionAt500, 399.0 / 99.0, 0.4);
            break;
        }
        case 1000:
            // Fading out together: the title at about half its light.
            EXPECT_NEAR(shown.mean(kTitleBox), titleMean * (1.0 - 199 * 0.0025), titleMean * 0.1);
            break;
        case 1260: {
            // Phase 3: background, floor and the translucent model fading in,
            // still unturned.
            EXPECT_EQ(TurnAngle, 0.0f);
            EXPECT_GT(shown.gold(Box{60, 30, 100, 62}), 100);
            EXPECT_GT(shown.sum(80, 88), 0) << "no floor under the model";
            EXPECT_GT(shown.litOutside({Box{0, 80, kWidth, kHeight}, Box{40, 30, 120, 80}}), 50) << "no stars, no sparkles";
            break;
        }
        case 1500:
        case 2600:
            // Phase 4: the opaque gold model above the floor, the corner logo.
            EXPECT_GT(shown.gold(Box{55, 30, 105, 62}), 150) << "frame " << frame;
            EXPECT_GT(shown.sum(80, 88), 0) << "no floor under the model, frame " << frame;
            EXPECT_GT(shown.mean(Box{120, 100, 160, 120}), 5.0) << "no corner logo, frame " << frame;
            break;
        default:
            break;
        }
    }

    // Single-precision fades: 401 frames each for phases 0 to 2, 101 for phase 3.
    EXPECT_EQ(phaseStart[1], 401);
    EXPECT_EQ(phaseStart[2], 802);
    EXPECT_EQ(phaseStart[3], 1203);
    EXPECT_EQ(phaseStart[4], 1304);
    EXPECT_GT(placementsInPhase4, 0) << "no emitter was placed again in " << kLastFrame - 1303 << " frames";

    // The turn wraps and keeps its 0.1-degree step across 360: unwrapped, it
    // would grow until each step coarsens and the model stops turning.
    TurnAngle = 359.75f;
    for (int frame = 0; frame < 20; ++frame) {
        const float before = TurnAngle;
        RenderFrame();
        ASSERT_GE(TurnAngle, 0.0f);
        ASSERT_LT(TurnAngle, 360.0f);
        const float step = TurnAngle >= before ? TurnAngle - before : TurnAngle + 360.0f - before;
        ASSERT_NEAR(step, 0.1f, 1e-4f) << "from " << before;
    }
}

TEST(Show, PlaysOnTheContextTheSaverAsksFor) { PlayTheShow(24, 8); }

// Without a stencil buffer the mirror image goes unclipped; the show still plays.
TEST(Show, PlaysWithoutAStencilBuffer) { PlayTheShow(24, 0); }

// OSMesa pairs a stencil only with a 24-bit depth, so this one has none either.
TEST(Show, PlaysWithASixteenBitDepthBuffer) { PlayTheShow(16, 0); }
