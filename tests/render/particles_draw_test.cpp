#include <gtest/gtest.h>

#include "host/offscreen/offscreen_context.h"
#include "particles/particle.h"
#include "particles/sparkle_emitter.h"
#include "render/bitmap_texture.h"
#include "render/gl.h"
#include "scene/render_frame.h"

namespace {
GLint StackDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}
} // namespace

// Would catch: the particle's tint or alpha not reaching the picture, its
// blend not additive, or its state switches left otherwise than it says.
TEST(ParticleDraw, TintsItsTextureAdditivelyAndOpaqueParticlesDrawNothing)
{
    OffscreenContext context(64, 48);
    ASSERT_TRUE(context.isCurrent());
    InitScene(64, 48);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // Gold (255, 228, 0) tinted (1, 0.5, 1) at alpha 0.5, twice over: additive.
    Particle particle(LoadBitmapTexture(109), Vector3(0.0f, 0.0f, -5.0f));
    particle.setColour(Colour(1.0f, 0.5f, 1.0f));
    particle.setAlpha(0.5f);
    const GLint depth = StackDepth();
    particle.draw();
    particle.draw();
    EXPECT_EQ(StackDepth(), depth);
    const OffscreenContext::Rgb centre = context.pixel(32, 24);
    EXPECT_NEAR(centre.r, 255, 2);
    EXPECT_NEAR(centre.g, 114, 2);
    EXPECT_EQ(centre.b, 0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    particle.setTranslucent(false);
    particle.draw();
    EXPECT_EQ(StackDepth(), depth);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    const OffscreenContext::Rgb after = context.pixel(32, 24);
    EXPECT_EQ(after.r + after.g + after.b, 0);

    // An empty field only pushes and pops.
    SparkleEmitter empty(0, 70.0f, 60.0f, -70.0f, -60.0f);
    empty.draw();
    EXPECT_EQ(StackDepth(), depth);
}
