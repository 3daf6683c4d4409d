#pragma once
#include <vector>

struct wl_callback;
struct wl_compositor;
struct wl_egl_window;
struct wl_output;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
class EglContext;

// One surface the show is drawn on: the window, one output's full-screen
// toplevel, or one output's wallpaper in the background layer. It answers
// the compositor's configures and frame callbacks itself; the host reads
// what changed after each dispatch.
class WaylandView {
public:
    enum class Role { Window, Fullscreen, Background };

    // output: the output a full-screen or background view belongs to;
    // width and height: the logical size of its first frame, before the
    // compositor names one (0: a window's own default).
    WaylandView(Role role, wl_compositor* compositor, xdg_wm_base* shell, zwlr_layer_shell_v1* layers,
                wl_output* output, int width, int height);
    ~WaylandView();
    WaylandView(const WaylandView&) = delete;
    WaylandView& operator=(const WaylandView&) = delete;

    wl_surface* getSurface() const { return surface; }
    wl_output* getOutput() const { return output; }
    // Outputs the surface is on (for a window's scale).
    const std::vector<wl_output*>& getEnteredOutputs() const { return entered; }

    // Once configured: makes the drawable at the configured size and scale;
    // then, on every call, follows a new size or scale. True when the size in
    // pixels changed (or the drawable is new).
    bool follow(EglContext& egl, int scale);
    // The drawable for EglContext; nullptr until configured, or when EGL refused one.
    void* getDrawable() const { return drawable; }
    int pixelWidth() const { return width * scale; }
    int pixelHeight() const { return height * scale; }

    // A frame may be drawn: the first one, or the compositor asked for the next.
    bool frameDue() const { return due; }
    // A configure was acknowledged and no frame has answered it yet.
    bool configurePending() const { return unanswered; }
    // Before a swap: the compositor says when the next frame would be seen.
    void awaitFrame();
    // The compositor closed the window or took the wallpaper away.
    bool closeRequested() const { return closed; }

private:
    static void onXdgConfigure(void* data, xdg_surface* xdgSurface, unsigned serial);
    static void onToplevelConfigure(void* data, xdg_toplevel* toplevel, int width, int height, struct wl_array* states);
    static void onToplevelClose(void* data, xdg_toplevel* toplevel);
    static void onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, unsigned serial, unsigned width,
                                 unsigned height);
    static void onLayerClosed(void* data, zwlr_layer_surface_v1* layer);
    static void onFrameDone(void* data, wl_callback* callback, unsigned time);
    static void onEnter(void* data, wl_surface* surface, wl_output* output);
    static void onLeave(void* data, wl_surface* surface, wl_output* output);

    Role role;
    wl_output* output;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    wl_egl_window* eglWindow = nullptr;
    wl_callback* frameCallback = nullptr;
    EglContext* eglContext = nullptr;
    void* drawable = nullptr;
    std::vector<wl_output*> entered;

    bool configured = false;
    bool closed = false;
    bool due = true;
    bool unanswered = false;
    // Logical size as configured, and the one being asked for.
    int width = 0;
    int height = 0;
    int scale = 1;
    int pendingWidth = 0;
    int pendingHeight = 0;
};
