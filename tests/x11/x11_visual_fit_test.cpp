#include <gtest/gtest.h>

#include "host/x11/x11_visual_fit.h"

namespace {
GlVisualTraits Visual(bool doubleBuffered, int depthBits, int stencilBits, bool openGl = true)
{
    GlVisualTraits traits;
    traits.openGl = openGl;
    traits.rgba = true;
    traits.doubleBuffered = doubleBuffered;
    traits.depthBits = depthBits;
    traits.stencilBits = stencilBits;
    return traits;
}
} // namespace

TEST(X11VisualFit, TheShowNeedsOpenGlRgbaDoubleBufferAndSixteenDepthBits)
{
    EXPECT_TRUE(IsDrawableVisual(Visual(true, 16, 0)));
    EXPECT_FALSE(IsDrawableVisual(Visual(false, 24, 8)));
    EXPECT_FALSE(IsDrawableVisual(Visual(true, 15, 8)));
    EXPECT_FALSE(IsDrawableVisual(Visual(true, 24, 8, false)));
    GlVisualTraits colourIndex = Visual(true, 24, 8);
    colourIndex.rgba = false;
    EXPECT_FALSE(IsDrawableVisual(colourIndex));
}

TEST(X11VisualFit, AWindowWithoutStencilGetsAChildWithStencilUnlessItIsTheRoot)
{
    const GlVisualTraits full = Visual(true, 24, 8);
    const GlVisualTraits noStencil = Visual(true, 24, 0);
    const GlVisualTraits singleBuffered = Visual(false, 24, 8);

    // The window's own visual serves as it is.
    EXPECT_EQ(ChooseAdoptedDrawing(full, &full, false), AdoptedDrawing::Directly);
    EXPECT_EQ(ChooseAdoptedDrawing(full, &full, true), AdoptedDrawing::Directly);
    // A daemon's window chosen without stencil would leave the mirror unclipped.
    EXPECT_EQ(ChooseAdoptedDrawing(noStencil, &full, false), AdoptedDrawing::InChild);
    // When no visual has stencil, or on the root, the window plays unclipped.
    EXPECT_EQ(ChooseAdoptedDrawing(noStencil, &noStencil, false), AdoptedDrawing::Directly);
    EXPECT_EQ(ChooseAdoptedDrawing(noStencil, nullptr, false), AdoptedDrawing::Directly);
    EXPECT_EQ(ChooseAdoptedDrawing(noStencil, &full, true), AdoptedDrawing::Directly);
    // A window that cannot be drawn with gets a child, except the root.
    EXPECT_EQ(ChooseAdoptedDrawing(singleBuffered, &noStencil, false), AdoptedDrawing::InChild);
    EXPECT_EQ(ChooseAdoptedDrawing(singleBuffered, &full, true), AdoptedDrawing::Cannot);
    EXPECT_EQ(ChooseAdoptedDrawing(singleBuffered, nullptr, false), AdoptedDrawing::Cannot);
    const GlVisualTraits none;
    EXPECT_EQ(ChooseAdoptedDrawing(none, &full, false), AdoptedDrawing::InChild);
}
