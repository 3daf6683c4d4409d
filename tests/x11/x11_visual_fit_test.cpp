#include <gtest/gtest.h>

#include "host/x11/x11_visual_fit.h"

// Would catch: the show drawn on a visual it cannot use (no double buffer,
// under 16 depth bits, no GL, colour index), a daemon's window without
// stencil used directly while a visual with stencil exists (an unclipped
// mirror), or a child window laid over the root.
TEST(X11VisualFit, AWindowWithoutWhatTheShowNeedsGetsAChildUnlessItIsTheRoot)
{
    using D = AdoptedDrawing;
    // OpenGL, RGBA, double-buffered, depth bits, stencil bits.
    const GlVisualTraits full{true, true, true, 24, 8}, noStencil{true, true, true, 16, 0}, single{true, true, false, 24, 8};
    const struct {
        GlVisualTraits window;
        const GlVisualTraits* own;
        bool root;
        AdoptedDrawing drawing;
    } cases[] = {
        {full, &full, false, D::Directly},         {full, &full, true, D::Directly},
        {noStencil, &full, false, D::InChild},     {noStencil, &noStencil, false, D::Directly},
        {noStencil, nullptr, false, D::Directly},  {noStencil, &full, true, D::Directly},
        {single, &noStencil, false, D::InChild},   {single, &full, true, D::Cannot},
        {single, nullptr, false, D::Cannot},       {{true, true, true, 15, 8}, &full, false, D::InChild},
        {{false, true, true, 24, 8}, &full, true, D::Cannot}, {{true, false, true, 24, 8}, &full, true, D::Cannot},
        {GlVisualTraits(), &full, false, D::InChild},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseAdoptedDrawing(c.window, c.own, c.root), c.drawing) << &c - cases;
}
