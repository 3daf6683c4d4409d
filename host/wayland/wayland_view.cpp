#include "host/wayland/wayland_view.h"

#include <algorithm>
#include <climits>

#include <wayland-client.h>
#include <wayland-egl.h>

#include "host/linux/linux_options.h"
#include "host/wayland/egl_context.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {
const char* const kAppId = "quorvelin";
} // namespace

WaylandView::WaylandView(Role role, wl_compositor* compositor, xdg_wm_base* shell, zwlr_layer_shell_v1* layers,
                         wl_output* output, int width, int height)
    : role(role), output(output), pendingWidth(width > 0 ? width : kLinuxWindowWidth),
      pendingHeight(height > 0 ? height : kLinuxWindowHeight)
{
    static const xdg_surface_listener xdgSurfaceListener = {onXdgConfigure};
    // xdg_wm_base is bound at version 1, which sends neither bounds nor capabilities.
    static const xdg_toplevel_listener toplevelListener = {onToplevelConfigure, onToplevelClose, nullptr, nullptr};
    static const zwlr_layer_surface_v1_listener layerListener = {onLayerConfigure, onLayerClosed};
    static const wl_surface_listener surfaceListener = {onEnter, onLeave};

    surface = wl_compositor_create_surface(compositor);
    wl_surface_add_listener(surface, &surfaceListener, this);
    // The show covers every pixel it draws, so the compositor need not draw
    // what lies beneath.
    wl_region* opaque = wl_compositor_create_region(compositor);
    wl_region_add(opaque, 0, 0, INT_MAX, INT_MAX);
    wl_surface_set_opaque_region(surface, opaque);
    wl_region_destroy(opaque);

    if (role == Role::Background) {
        layerSurface = zwlr_layer_shell_v1_get_layer_surface(layers, surface, output,
                                                             ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, kAppId);
        zwlr_layer_surface_v1_add_listener(layerSurface, &layerListener, this);
        zwlr_layer_surface_v1_set_anchor(layerSurface,
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM
                                             | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT
                                             | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(layerSurface, 0, 0);
        // Under panels too: a wallpaper leaves no part of the output bare.
        zwlr_layer_surface_v1_set_exclusive_zone(layerSurface, -1);
        // A wallpaper takes no input: clicks go to the desktop beneath.
        wl_region* none = wl_compositor_create_region(compositor);
        wl_surface_set_input_region(surface, none);
        wl_region_destroy(none);
    } else {
        xdgSurface = xdg_wm_base_get_xdg_surface(shell, surface);
        xdg_surface_add_listener(xdgSurface, &xdgSurfaceListener, this);
        toplevel = xdg_surface_get_toplevel(xdgSurface);
        xdg_toplevel_add_listener(toplevel, &toplevelListener, this);
        xdg_toplevel_set_title(toplevel, LinuxWindowTitle);
        xdg_toplevel_set_app_id(toplevel, kAppId);
        if (role == Role::Fullscreen)
            xdg_toplevel_set_fullscreen(toplevel, output);
    }
    // No buffer yet: the compositor answers with the first configure.
    wl_surface_commit(surface);
}

WaylandView::~WaylandView()
{
    if (frameCallback != nullptr)
        wl_callback_destroy(frameCallback);
    if (eglContext != nullptr)
        eglContext->destroySurface(drawable);
    if (eglWindow != nullptr)
        wl_egl_window_destroy(eglWindow);
    if (layerSurface != nullptr)
        zwlr_layer_surface_v1_destroy(layerSurface);
    if (toplevel != nullptr)
        xdg_toplevel_destroy(toplevel);
    if (xdgSurface != nullptr)
        xdg_surface_destroy(xdgSurface);
    wl_surface_destroy(surface);
}

bool WaylandView::follow(EglContext& egl, int newScale)
{
    if (!configured || closed)
        return false;
    newScale = std::max(newScale, 1);
    if (eglWindow != nullptr && pendingWidth == width && pendingHeight == height && newScale == scale)
        return false;
    width = pendingWidth;
    height = pendingHeight;
    scale = newScale;
    // The buffer holds the output's real pixels; its scale tells the
    // compositor not to enlarge it.
    wl_surface_set_buffer_scale(surface, scale);
    if (eglWindow == nullptr) {
        eglWindow = wl_egl_window_create(surface, pixelWidth(), pixelHeight());
        eglContext = &egl;
        drawable = eglWindow != nullptr ? egl.makeSurface(eglWindow) : nullptr;
    } else {
        wl_egl_window_resize(eglWindow, pixelWidth(), pixelHeight(), 0, 0);
    }
    return true;
}

void WaylandView::awaitFrame()
{
    if (frameCallback != nullptr)
        wl_callback_destroy(frameCallback);
    static const wl_callback_listener frameListener = {onFrameDone};
    frameCallback = wl_surface_frame(surface);
    wl_callback_add_listener(frameCallback, &frameListener, this);
    due = false;
    unanswered = false;
}

void WaylandView::onXdgConfigure(void* data, xdg_surface* xdgSurface, unsigned serial)
{
    xdg_surface_ack_configure(xdgSurface, serial);
    WaylandView& view = *static_cast<WaylandView*>(data);
    view.configured = true;
    view.unanswered = true;
}

void WaylandView::onToplevelConfigure(void* data, xdg_toplevel*, int width, int height, wl_array*)
{
    // Zero leaves the size to us: keep the one we have.
    WaylandView& view = *static_cast<WaylandView*>(data);
    if (width > 0)
        view.pendingWidth = width;
    if (height > 0)
        view.pendingHeight = height;
}

void WaylandView::onToplevelClose(void* data, xdg_toplevel*) { static_cast<WaylandView*>(data)->closed = true; }

void WaylandView::onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, unsigned serial, unsigned width,
                                   unsigned height)
{
    WaylandView& view = *static_cast<WaylandView*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (width > 0 && width <= INT_MAX)
        view.pendingWidth = static_cast<int>(width);
    if (height > 0 && height <= INT_MAX)
        view.pendingHeight = static_cast<int>(height);
    view.configured = true;
    view.unanswered = true;
}

void WaylandView::onLayerClosed(void* data, zwlr_layer_surface_v1*) { static_cast<WaylandView*>(data)->closed = true; }

void WaylandView::onFrameDone(void* data, wl_callback* callback, unsigned)
{
    WaylandView& view = *static_cast<WaylandView*>(data);
    wl_callback_destroy(callback);
    view.frameCallback = nullptr;
    view.due = true;
}

void WaylandView::onEnter(void* data, wl_surface*, wl_output* output)
{
    static_cast<WaylandView*>(data)->entered.push_back(output);
}

void WaylandView::onLeave(void* data, wl_surface*, wl_output* output)
{
    std::vector<wl_output*>& entered = static_cast<WaylandView*>(data)->entered;
    entered.erase(std::remove(entered.begin(), entered.end(), output), entered.end());
}
