#include "scene/background_copy.h"

#include <vector>

#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/gl_capabilities.h"
#include "render/lit_run_copy.h"
#include "scene/scene_objects.h"

namespace {
// The view as it was after the background, and what it was made from.
struct BackgroundCopy {
    bool made = false;
    GLint viewport[4] = {0, 0, 0, 0};
    unsigned int texture = 0;
    float alpha = 0.0f;
    std::vector<unsigned char> rgba;
    // The copy's lit runs as textures, where they are cheaper to draw than
    // the whole picture; without them, the pixels go back whole.
    LitRunCopy lit;
    bool litKept = false;
};
BackgroundCopy Copy;

bool copyFits(const GLint* viewport)
{
    return Copy.made && Copy.viewport[0] == viewport[0] && Copy.viewport[1] == viewport[1]
           && Copy.viewport[2] == viewport[2] && Copy.viewport[3] == viewport[3]
           && Copy.texture == BackgroundSprite.getTexture() && Copy.alpha == BackgroundSprite.getAlpha();
}

void makeCopy(const GLint* viewport)
{
    BackgroundSprite.drawOverClearedFrame();
    const int width = viewport[2] > 0 ? viewport[2] : 0;
    const int height = viewport[3] > 0 ? viewport[3] : 0;
    // Allocates only when the view has grown since InitScene: four bytes a
    // pixel, so every row is aligned.
    Copy.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    if (!Copy.rgba.empty())
        glReadPixels(viewport[0], viewport[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE, Copy.rgba.data());
    Copy.litKept = !Copy.rgba.empty() && Copy.lit.take(Copy.rgba.data(), width, height);
    for (int i = 0; i < 4; ++i)
        Copy.viewport[i] = viewport[i];
    Copy.texture = BackgroundSprite.getTexture();
    Copy.alpha = BackgroundSprite.getAlpha();
    Copy.made = true;
}

void putCopyBack()
{
    if (Copy.litKept) {
        SetDrawSwitches(DrawBlend::Unblended, kWhite, 1.0f);
        Copy.lit.draw();
        return;
    }
    SetDrawSwitches(DrawBlend::Unblended);
    // A pixel rectangle would otherwise be textured at the raster position.
    glDisable(GL_TEXTURE_2D);
    // Under identity matrices, (-1, -1) is the viewport's lower left corner.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(Copy.viewport[2], Copy.viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, Copy.rgba.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}
} // namespace

void DrawSteadyBackground()
{
    // Without pixel rectangles the sprite is drawn every frame, as the show did before the copy.
    if (!kGlCapabilities.backgroundCopy) {
        BackgroundSprite.drawOverClearedFrame();
        return;
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (copyFits(viewport) && !Copy.rgba.empty())
        putCopyBack();
    else
        makeCopy(viewport);
}

void ResetBackgroundCopy(int width, int height)
{
    if (!kGlCapabilities.backgroundCopy)
        return;
    Copy.made = false;
    Copy.litKept = false;
    Copy.lit.forget();
    Copy.lit.reserve(width, height);
    if (width > 0 && height > 0)
        Copy.rgba.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
}
