#include <gtest/gtest.h>

#include "host/offscreen/offscreen_context.h"
#include "render/bitmap_texture.h"
#include "render/gl.h"
#include "render/sprite.h"
#include "scene/render_frame.h"

// A translucent sprite at full alpha adds its texels onto black: the gold
// model texture must show unchanged at the centre, and nothing outside the quad.
TEST(Sprite, TranslucentGoldQuadShowsItsTexelsOnlyInsideTheQuad)
{
    OffscreenContext context(64, 48);
    ASSERT_TRUE(context.isCurrent());
    InitScene(64, 48);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    Sprite sprite(LoadBitmapTexture(109), true, 1.0f, Vector3(0, 0, -5));
    sprite.draw();
    const OffscreenContext::Rgb centre = context.pixel(32, 24);
    EXPECT_EQ(centre.r, 255);
    EXPECT_EQ(centre.g, 228);
    EXPECT_EQ(centre.b, 0);
    const OffscreenContext::Rgb corner = context.pixel(1, 1);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
}
