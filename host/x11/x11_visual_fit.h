#pragma once

// What a GLX visual offers the show, read once from the server.
struct GlVisualTraits {
    bool openGl = false;
    bool rgba = false;
    bool doubleBuffered = false;
    int depthBits = 0;
    int stencilBits = 0;
};

// The show draws with a visual as it is when it has OpenGL, RGBA, double
// buffering and a depth buffer of 16 bits or more. Stencil is wanted too, but
// without it the show still plays, its mirror image unclipped.
bool IsDrawableVisual(const GlVisualTraits& visual);

// How the show goes into a window someone else made (a daemon's window, a
// preview pane, the root window).
enum class AdoptedDrawing {
    Directly, // into the window itself, with its visual
    InChild,  // into a child window of ours that covers it, with our visual
    Cannot,   // no way to draw there
};

// `own` is the best visual the show could choose itself, or null when the
// server offers none. A child covers the window when its own visual cannot be
// drawn with, or lacks the stencil that ours has; never on the root window,
// where a child would be a new top-level window instead.
AdoptedDrawing ChooseAdoptedDrawing(const GlVisualTraits& window, const GlVisualTraits* own, bool isRoot);
