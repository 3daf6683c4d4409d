#include "host/wayland/egl_context.h"

#include <EGL/egl.h>
#include <wayland-egl.h>

#include <vector>

namespace {
// The scene's needs: a window, desktop OpenGL, RGB, a depth buffer and,
// where there is one, a stencil bit for the floor's mirror.
EGLConfig ChooseConfig(EGLDisplay display, bool withStencil)
{
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 1,
                             EGL_GREEN_SIZE, 1, EGL_BLUE_SIZE, 1, EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE,
                             withStencil ? 1 : 0, EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0)
        return nullptr;
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (!eglChooseConfig(display, wanted, configs.data(), count, &count) || count <= 0)
        return nullptr;
    // Eight bits a channel and no alpha first. EGL lists deeper colour first,
    // which some compositors cannot show (a 10-bit buffer stays black under
    // weston's software renderer); with alpha the compositor would blend the
    // show with what lies under it wherever a draw leaves alpha below one.
    EGLConfig best = configs[0];
    int bestRank = -1;
    for (EGLConfig config : configs) {
        EGLint red = 0;
        EGLint alpha = 0;
        eglGetConfigAttrib(display, config, EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, config, EGL_ALPHA_SIZE, &alpha);
        const int rank = (red == 8 ? 2 : 0) + (alpha == 0 ? 1 : 0);
        if (rank > bestRank) {
            best = config;
            bestRank = rank;
        }
    }
    return best;
}
} // namespace

EglContext::~EglContext() { release(); }

bool EglContext::open(wl_display* wayland, std::string& error)
{
    EGLDisplay eglDisplay = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(wayland));
    EGLint major = 0;
    EGLint minor = 0;
    if (eglDisplay == EGL_NO_DISPLAY || !eglInitialize(eglDisplay, &major, &minor)) {
        error = "no EGL for the Wayland display";
        return false;
    }
    display = eglDisplay;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL offers no desktop OpenGL";
        return false;
    }
    EGLConfig chosen = ChooseConfig(eglDisplay, true);
    stencil = chosen != nullptr;
    if (chosen == nullptr)
        chosen = ChooseConfig(eglDisplay, false);
    if (chosen == nullptr) {
        error = "EGL has no desktop OpenGL configuration for a window with a depth buffer";
        return false;
    }
    config = chosen;
    context = eglCreateContext(eglDisplay, chosen, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        context = nullptr;
        error = "EGL cannot make a desktop OpenGL context";
        return false;
    }
    return true;
}

void* EglContext::makeSurface(wl_egl_window* window)
{
    EGLSurface surface =
        eglCreateWindowSurface(display, config, reinterpret_cast<EGLNativeWindowType>(window), nullptr);
    return surface == EGL_NO_SURFACE ? nullptr : surface;
}

void EglContext::destroySurface(void* surface)
{
    if (surface == nullptr)
        return;
    if (eglGetCurrentSurface(EGL_DRAW) == surface)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(display, surface);
}

bool EglContext::makeCurrent(void* surface)
{
    if (eglGetCurrentSurface(EGL_DRAW) == surface && eglGetCurrentContext() == context)
        return true;
    if (!eglMakeCurrent(display, surface, surface, context))
        return false;
    eglSwapInterval(display, 0);
    return true;
}

bool EglContext::swap(void* surface) { return eglSwapBuffers(display, surface) == EGL_TRUE; }

void EglContext::release()
{
    if (display == nullptr)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr)
        eglDestroyContext(display, context);
    eglTerminate(display);
    display = nullptr;
    config = nullptr;
    context = nullptr;
}
