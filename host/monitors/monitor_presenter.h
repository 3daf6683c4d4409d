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
//
// Where each monitor has a surface of its own (Wayland's outputs), the layout
// is of a virtual window holding them all: the scene draws on the source's
// surface, present() captures its picture into the texture, and
// presentCopy() draws a monitor's view on that monitor's surface.
class MonitorPresenter {
public:
    enum class Surfaces {
        OneWindow,     // one window spans every monitor
        OnePerMonitor, // each monitor's surface has its origin at the monitor's top-left corner
    };

    // With the context current: takes the layout, sets the viewport and the
    // projection the scene draws with, and makes or frees the texture that
    // scaled copies (and all copies between surfaces) need.
    // largestTexture caps the texture's side below the implementation's own
    // limit (0: no cap of our own).
    void fit(const MonitorLayout& layout, int largestTexture = 0, Surfaces surfaces = Surfaces::OneWindow);
    // After RenderFrame, before the swap. Leaves the viewport, matrices and
    // switches as RenderFrame expects them.
    void present() const;
    // One surface per monitor: with the surface of the copy's monitor
    // current, after present(), draws its view on black. Without a texture
    // (larger than the implementation holds) the monitor stays black.
    void presentCopy(const MonitorCopy& copy, const PixelRect& monitor) const;
    // Frees the texture; call while the context is still current.
    void release();

    bool copiesThroughTexture() const { return texture != 0; }

private:
    void drawFromTexture(const MonitorCopy& copy) const;
    void copyPixels(const MonitorCopy& copy) const;
    void capture(int sourceX, int sourceBottom) const;
    void beginCopies(const PixelRect& area) const;
    void endCopies() const;

    MonitorLayout layout{0, 0};
    Surfaces surfaces = Surfaces::OneWindow;
    unsigned int texture = 0;
    int textureWidth = 0;
    int textureHeight = 0;
};
