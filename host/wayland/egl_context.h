#pragma once
#include <string>

struct wl_display;
struct wl_egl_window;

// EGL on a Wayland connection with one desktop OpenGL context (Mesa gives a
// compatibility profile, which runs the OpenGL 1.1 scene as it is) and the
// surfaces it draws on, one per output or window. EGL types stay in the .cpp.
class EglContext {
public:
    EglContext() = default;
    ~EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    // Picks a double-buffered opaque configuration with depth and stencil
    // (without stencil where none has it) and makes the context. On failure
    // returns false with a one-line reason.
    bool open(wl_display* display, std::string& error);
    bool hasStencil() const { return stencil; }

    // A drawing surface on a window of wayland-egl; nullptr when EGL refuses.
    void* makeSurface(wl_egl_window* window);
    void destroySurface(void* surface);
    // Makes the context current on the surface; the first time with swaps
    // that never wait, since frames are paced by the compositor's callbacks.
    bool makeCurrent(void* surface);
    bool swap(void* surface);
    void release();

private:
    void* display = nullptr;
    void* config = nullptr;
    void* context = nullptr;
    bool stencil = false;
};
