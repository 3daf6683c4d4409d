#include "scene/background_copy.h"

#include <vector>

#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/gl_capabilities.h"
#include "render/lit_run_copy.h"
#include "scene/scene_objects.h"

namespace {
// About a second of frames at the hosts' pace: how long a copy that no
// event made stale may stand in for the sprite.
const int kTrustedFrames = 64;

// What a picture of the background depends on.
struct View {
    GLint viewport[4] = {0, 0, 0, 0};
    unsigned int texture = 0;
    float alpha = 0.0f;
};

bool operator==(const View& a, const View& b)
{
    return a.viewport[0] == b.viewport[0] && a.viewport[1] == b.viewport[1] && a.viewport[2] == b.viewport[2]
           && a.viewport[3] == b.viewport[3] && a.texture == b.texture && a.alpha == b.alpha;
}

// The view as it was after the background, and what it was made from.
struct BackgroundCopy {
    // The frame holds 8 bits a channel, as the copy does.
    bool allowed = false;
    bool made = false;
    int framesLeft = 0; // put-backs before it is taken afresh
    View view;
    // The view of the frame before, unless something disturbed the window since.
    View lastFrame;
    bool lastFrameKnown = false;
    std::vector<unsigned char> rgba;
    // The copy's lit runs as textures, where they are cheaper to draw than
    // the whole picture; without them, the pixels go back whole.
    LitRunCopy lit;
    bool litKept = false;
};
BackgroundCopy Copy;

View currentView()
{
    View view;
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    view.texture = BackgroundSprite.getTexture();
    view.alpha = BackgroundSprite.getAlpha();
    return view;
}

bool holdsEightBitsAChannel()
{
    GLint bits[3] = {0, 0, 0};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    return bits[0] == 8 && bits[1] == 8 && bits[2] == 8;
}

// Reads back the frame the sprite was just drawn over.
void takeCopy(const View& view)
{
    const int width = view.viewport[2] > 0 ? view.viewport[2] : 0;
    const int height = view.viewport[3] > 0 ? view.viewport[3] : 0;
    // Allocates only when the view has grown since InitScene: four bytes a
    // pixel, so every row is aligned.
    Copy.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    Copy.made = !Copy.rgba.empty();
    if (!Copy.made)
        return;
    glReadPixels(view.viewport[0], view.viewport[1], width, height, GL_RGBA, GL_UNSIGNED_BYTE, Copy.rgba.data());
    Copy.litKept = Copy.lit.take(Copy.rgba.data(), width, height);
    Copy.view = view;
    Copy.framesLeft = kTrustedFrames;
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
    glDrawPixels(Copy.view.viewport[2], Copy.view.viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, Copy.rgba.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}
} // namespace

void DrawSteadyBackground()
{
    // Without pixel rectangles (the browser) the sprite is drawn every frame,
    // as the show did before the copy.
    if (!kGlCapabilities.backgroundCopy) {
        BackgroundSprite.drawOverClearedFrame();
        return;
    }
    const View now = currentView();
    // Copy or sprite: the copy stands in while it is trusted and of this view.
    if (Copy.made && Copy.framesLeft > 0 && Copy.view == now) {
        --Copy.framesLeft;
        putCopyBack();
    } else {
        BackgroundSprite.drawOverClearedFrame();
        // A buffer may reach a new size a frame late: the copy is taken only
        // when the frame before had the same view.
        Copy.made = false;
        if (Copy.allowed && Copy.lastFrameKnown && Copy.lastFrame == now)
            takeCopy(now);
    }
    Copy.lastFrame = now;
    Copy.lastFrameKnown = true;
}

void InvalidateBackgroundCopy()
{
    Copy.made = false;
    Copy.lastFrameKnown = false;
}

void ResetBackgroundCopy(int width, int height)
{
    InvalidateBackgroundCopy();
    Copy.litKept = false;
    Copy.lit.forget();
    // A copy of 8 bits a channel gives back the pixels of a frame of 8 bits a
    // channel only: at 16 bits (or 10) the read-back, the redraw with
    // dithering and the tiles' storage are the driver's choice.
    Copy.allowed = kGlCapabilities.backgroundCopy && holdsEightBitsAChannel();
    if (!Copy.allowed || width <= 0 || height <= 0)
        return;
    Copy.lit.reserve(width, height);
    Copy.rgba.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
}
