#pragma once
#include "host/monitors/monitor_layout.h"

// Puts one drawn frame on every monitor of a layout, around RenderFrame: the
// scene draws into the source monitor's viewport, then present() copies that
// picture to the other monitors before the host swaps. The scene draws and
// advances once per frame however many monitors there are, and every monitor
// shows the same frame. With one monitor present() does nothing.
//
// A monitor that shows the picture at its own size gets a plain pixel copy
// (glCopyPixels), exact and the cheapest copy an implementation has. A scaled
// copy goes through a texture (glCopyTexSubImage2D, then a filtered quad);
// an OpenGL 1.1 texture has power-of-two sides, so one is made when the
// layout changes, never per frame. Where the implementation cannot hold one
// that large, scaled copies fall back to glCopyPixels with a pixel zoom
// (unfiltered, but still centred and in proportion). Like the context it
// lives in, the texture is a handle: release() frees it, nothing else does.
class MonitorPresenter {
public:
    // With the context current: takes the layout, sets the viewport and the
    // projection the scene draws with, and makes or frees the texture that
    // scaled copies need.
    // largestTexture caps the texture's side below the implementation's own
    // limit (0: no cap of our own).
    void fit(const MonitorLayout& layout, int largestTexture = 0);
    // After RenderFrame, before the swap. Leaves the viewport, matrices and
    // switches as RenderFrame expects them.
    void present() const;
    // Frees the texture; call while the context is still current.
    void release();

    bool copiesThroughTexture() const { return texture != 0; }

private:
    void drawFromTexture(const MonitorCopy& copy) const;
    void copyPixels(const MonitorCopy& copy) const;

    MonitorLayout layout{0, 0};
    unsigned int texture = 0;
    int textureWidth = 0;
    int textureHeight = 0;
};
