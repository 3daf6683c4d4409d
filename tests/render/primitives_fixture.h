#pragma once
// A context for drawing single primitives with the scene's fixed render state,
// and the window position of eye-space points worked out from the projection's
// definition rather than read back from OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "host/offscreen/offscreen_context.h"
#include "render/gl.h"
#include "scene/render_state.h"
#include "scene/view_projection.h"

class PrimitivesTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    struct Window {
        double x;
        double y;
    };

    PrimitivesTest() : context(kWidth, kHeight) {}

    void SetUp() override
    {
        ASSERT_TRUE(context.isCurrent());
        SetFixedRenderState();
        SetViewProjection(kWidth, kHeight);
        clear();
    }

    void clear()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glLoadIdentity();
    }

    // 45 degrees vertical field of view, aspect width / height.
    static Window project(double x, double y, double z)
    {
        const double f = 1.0 / std::tan(std::atan(1.0) / 2.0); // half of 45 degrees
        const double aspect = double(kWidth) / double(kHeight);
        return {(f / aspect * x / -z + 1.0) / 2.0 * kWidth, (f * y / -z + 1.0) / 2.0 * kHeight};
    }

    OffscreenContext::Rgb at(Window w) const
    {
        return context.pixel(static_cast<int>(std::floor(w.x)), static_cast<int>(std::floor(w.y)));
    }

    OffscreenContext::Rgb at(double x, double y, double z) const { return at(project(x, y, z)); }

    static bool isBlack(const OffscreenContext::Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

    static void expectNear(const OffscreenContext::Rgb& c, int r, int g, int b, int tolerance,
                           const std::string& where)
    {
        EXPECT_NEAR(c.r, r, tolerance) << where;
        EXPECT_NEAR(c.g, g, tolerance) << where;
        EXPECT_NEAR(c.b, b, tolerance) << where;
    }

    // The first and last pixel of a row (or a column) that is not black; -1 when none is.
    std::pair<int, int> litSpan(bool row, int at) const
    {
        int first = -1, last = -1;
        for (int i = 0; i < (row ? kWidth : kHeight); ++i)
            if (!isBlack(row ? context.pixel(i, at) : context.pixel(at, i))) {
                if (first < 0)
                    first = i;
                last = i;
            }
        return {first, last};
    }

    // The switches a draw leaves: translucent draws blend (with `destination`)
    // unlit and without depth test, opaque ones the other way round.
    static void expectSwitches(bool translucent, GLenum destination = GL_ONE)
    {
        EXPECT_EQ(bool(glIsEnabled(GL_BLEND)), translucent);
        EXPECT_EQ(bool(glIsEnabled(GL_DEPTH_TEST)), !translucent);
        EXPECT_EQ(bool(glIsEnabled(GL_LIGHTING)), !translucent);
        if (!translucent)
            return;
        GLint source = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(source, GL_SRC_ALPHA);
        EXPECT_EQ(GLenum(dst), destination);
    }

    OffscreenContext context;
};
