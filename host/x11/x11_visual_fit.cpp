#include "host/x11/x11_visual_fit.h"

bool IsDrawableVisual(const GlVisualTraits& visual)
{
    return visual.openGl && visual.rgba && visual.doubleBuffered && visual.depthBits >= 16;
}

AdoptedDrawing ChooseAdoptedDrawing(const GlVisualTraits& window, const GlVisualTraits* own, bool isRoot)
{
    const bool ownIsBetter = own != nullptr && IsDrawableVisual(*own)
                             && (!IsDrawableVisual(window) || (window.stencilBits < 1 && own->stencilBits >= 1));
    if (ownIsBetter && !isRoot)
        return AdoptedDrawing::InChild;
    return IsDrawableVisual(window) ? AdoptedDrawing::Directly : AdoptedDrawing::Cannot;
}
