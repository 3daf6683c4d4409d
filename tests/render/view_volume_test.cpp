#include <gtest/gtest.h>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "render/view_volume.h"
#include "scene/view_projection.h"

// Would catch: a particle skipped while part of it is still in the view (it
// would vanish at the edge a frame early), one a pixel beyond the edge
// skipped (rounding can still light that pixel), one far beyond still drawn,
// a quad wider than the view or one behind the eye skipped, or the view read
// once and kept after the viewport and projection changed.
TEST(ViewVolume, SkipsOnlyQuadsWhollyBeyondAnEdgeOfTheViewAsItIsNow)
{
    OffscreenContext context(320, 120);
    ASSERT_TRUE(context.isCurrent());
    // At z = -10 the 45 degree view is 8.284 units tall; 160x120 pixels make
    // a pixel 0.069 units, the right edge x = 5.523, the top y = 4.142.
    const float px = 0.069f, right = 5.523f, top = 4.142f, side = 0.2f;
    const struct {
        const char* name;
        float x, y, z, width;
        bool misses;          // at 160x120
        bool missesWhenWider; // after the view became 320x120
    } cases[] = {
        {"in the middle", 0.0f, 0.0f, -10.0f, side, false, false},
        {"across the right edge", right - side / 2, 0.0f, -10.0f, side, false, false},
        {"a pixel beyond the right edge", right + px, 0.0f, -10.0f, side, false, false},
        {"four pixels beyond the right edge", right + 4 * px, 0.0f, -10.0f, side, true, false},
        {"four pixels beyond the left edge", -right - side - 4 * px, 0.0f, -10.0f, side, true, false},
        {"across the top edge", 0.0f, top - side / 2, -10.0f, side, false, false},
        {"four pixels above the top edge", 0.0f, top + 4 * px, -10.0f, side, true, true},
        {"wider than the view", -20.0f, 0.0f, -10.0f, 40.0f, false, false},
        {"behind the eye", 0.0f, 0.0f, 1.0f, side, false, false},
    };
    for (const bool wider : {false, true}) {
        const int width = wider ? 320 : 160;
        glViewport(0, 0, width, 120);
        SetViewProjection(width, 120);
        glLoadIdentity();
        ViewVolume view;
        view.capture();
        for (const auto& c : cases)
            EXPECT_EQ(view.missesView(Vector3(c.x, c.y, c.z), QuadRect(Vector3(0.0f, 0.0f, 0.0f), c.width, side)),
                      wider ? c.missesWhenWider : c.misses)
                << c.name << (wider ? ", at 320x120" : ", at 160x120");
    }
}
