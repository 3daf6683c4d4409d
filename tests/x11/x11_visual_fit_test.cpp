#include <gtest/gtest.h>

#include "host/x11/x11_visual_fit.h"

namespace {
GlVisualTraits Visual(bool doubleBuffered, int depthBits, int stencilBits, bool openGl = true, bool rgba = true)
{
    GlVisualTraits traits;
    traits.openGl = openGl;
    traits.rgba = rgba;
    traits.doubleBuffered = doubleBuffered;
    traits.depthBits = depthBits;
    traits.stencilBits = stencilBits;
    return traits;
}
} // namespace

// Would catch: the show drawn on a visual it cannot use (no double buffer,
// under 16 depth bits, no GL, colour index), a daemon's window without
// stencil used directly while a visual with stencil exists (an unclipped
// mirror), or a child window laid over the root.
TEST(X11VisualFit, AWindowWithoutWhatTheShowNeedsGetsAChildUnlessItIsTheRoot)
{
    const GlVisualTraits full = Visual(true, 24, 8), noStencil = Visual(true, 16, 0), none;
    const struct {
        GlVisualTraits window;
        const GlVisualTraits* own;
        bool root;
        AdoptedDrawing drawing;
    } cases[] = {
        {full, &full, false, AdoptedDrawing::Directly},
        {full, &full, true, AdoptedDrawing::Directly},
        {noStencil, &full, false, AdoptedDrawing::InChild},
        {noStencil, &noStencil, false, AdoptedDrawing::Directly},
        {noStencil, nullptr, false, AdoptedDrawing::Directly},
        {noStencil, &full, true, AdoptedDrawing::Directly},
        {Visual(false, 24, 8), &noStencil, false, AdoptedDrawing::InChild},
        {Visual(false, 24, 8), &full, true, AdoptedDrawing::Cannot},
        {Visual(false, 24, 8), nullptr, false, AdoptedDrawing::Cannot},
        {Visual(true, 15, 8), &full, false, AdoptedDrawing::InChild},
        {Visual(true, 24, 8, false), &full, true, AdoptedDrawing::Cannot},
        {Visual(true, 24, 8, true, false), &full, true, AdoptedDrawing::Cannot},
        {none, &full, false, AdoptedDrawing::InChild},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseAdoptedDrawing(c.window, c.own, c.root), c.drawing) << &c - cases;
}
