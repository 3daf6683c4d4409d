#include "host/wayland/wayland_host.h"

#include <poll.h>
#include <time.h>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/linux/pointer_travel.h"
#include "host/linux/stop_signals.h"
#include "host/monitors/monitor_presenter.h"
#include "host/wayland/egl_context.h"
#include "host/wayland/wayland_keyboard.h"
#include "host/wayland/wayland_view.h"
#include "scene/background_copy.h"
#include "scene/render_frame.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {
long long Nanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The compositor's name for messages: WAYLAND_DISPLAY, or libwayland's default.
std::string CompositorName()
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name != nullptr && *name != '\0' ? name : "wayland-0";
}

// One output of the compositor: its place and scale, and the show's view on it
// in the full-screen and background modes.
struct Output {
    std::uint32_t name = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* place = nullptr;
    int x = 0; // logical position in the compositor's layout (xdg-output)
    int y = 0;
    int scale = 1;
    int modeWidth = 0; // the current mode, in pixels
    int modeHeight = 0;
    bool described = false; // its first done event came
    bool refused = false;   // the compositor closed our surface on it
    std::unique_ptr<WaylandView> view;
};

// A view as the layout sees it: its place in a virtual window that lays the
// views side by side, and the copy of the drawn picture it shows.
struct Placed {
    WaylandView* view = nullptr;
    PixelRect rect;
    MonitorCopy copy;
    bool copied = false;
    long long swapped = 0; // when its last frame went to the compositor
};

// How long a frame waits for an output whose compositor has not asked for
// one: longer, and the output counts as hidden and keeps its last picture.
constexpr long long kCopyPatience = 100000000LL;
} // namespace

struct WaylandHost::State {
    LinuxOptions::Mode mode = LinuxOptions::Mode::Window;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    xdg_wm_base* shell = nullptr;
    zwlr_layer_shell_v1* layers = nullptr;
    zxdg_output_manager_v1* places = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_touch* touch = nullptr;
    wl_surface* pointerSurface = nullptr; // where the pointer is, if on one of ours
    std::vector<std::unique_ptr<Output>> outputs;
    std::unique_ptr<WaylandView> window; // --window's one view

    EglContext egl;
    WaylandKeyboard keys;
    PointerTravel pointerTravel;
    MonitorPresenter presenter;
    std::vector<Placed> placed;
    std::vector<WaylandView*> views; // kept, so that following them each tick allocates nothing
    WaylandView* source = nullptr;   // the view the scene draws on
    bool sceneStarted = false;
    bool layoutStale = true;
    bool closing = false;
    bool failed = false; // EGL refused a surface

    Output* outputOf(wl_output* output)
    {
        for (const std::unique_ptr<Output>& out : outputs)
            if (out->output == output)
                return out.get();
        return nullptr;
    }

    Output* outputShowing(wl_surface* surface)
    {
        for (const std::unique_ptr<Output>& out : outputs)
            if (out->view != nullptr && out->view->getSurface() == surface)
                return out.get();
        return nullptr;
    }

    bool fullscreen() const { return mode == LinuxOptions::Mode::Fullscreen; }
};

namespace {
using State = WaylandHost::State;

void OnPing(void*, xdg_wm_base* shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); }
const xdg_wm_base_listener ShellListener = {OnPing};

void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                      int32_t)
{
}
void OnOutputMode(void* data, wl_output*, std::uint32_t flags, int32_t width, int32_t height, int32_t)
{
    Output& out = *static_cast<Output*>(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        out.modeWidth = width;
        out.modeHeight = height;
    }
}
void OnOutputDone(void* data, wl_output*) { static_cast<Output*>(data)->described = true; }
void OnOutputScale(void* data, wl_output*, int32_t scale)
{
    static_cast<Output*>(data)->scale = std::max(scale, 1);
}
const wl_output_listener OutputListener = {OnOutputGeometry, OnOutputMode, OnOutputDone, OnOutputScale, nullptr,
                                           nullptr};

void OnPlacePosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    Output& out = *static_cast<Output*>(data);
    out.x = x;
    out.y = y;
}
void OnPlaceSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void OnPlaceDone(void*, zxdg_output_v1*) {}
const zxdg_output_v1_listener PlaceListener = {OnPlacePosition, OnPlaceSize, OnPlaceDone, nullptr, nullptr};

void WatchPlace(State& s, Output& out)
{
    if (s.places == nullptr || out.place != nullptr)
        return;
    out.place = zxdg_output_manager_v1_get_xdg_output(s.places, out.output);
    zxdg_output_v1_add_listener(out.place, &PlaceListener, &out);
}

// The pointer's position in the compositor's layout, from a position on one
// of our surfaces; the full-screen rule counts movement there.
void PointerAt(State& s, wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    const Output* out = s.outputShowing(surface);
    if (out == nullptr)
        return;
    if (s.pointerTravel.endsShow(out->x + wl_fixed_to_double(x), out->y + wl_fixed_to_double(y)))
        s.closing = true;
}

void OnPointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                    wl_fixed_t y)
{
    State& s = *static_cast<State*>(data);
    s.pointerSurface = surface;
    // No cursor over the show.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    PointerAt(s, surface, x, y);
}
void OnPointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*)
{
    static_cast<State*>(data)->pointerSurface = nullptr;
}
void OnPointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    State& s = *static_cast<State*>(data);
    if (s.pointerSurface != nullptr)
        PointerAt(s, s.pointerSurface, x, y);
}
void OnPointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        static_cast<State*>(data)->closing = true;
}
void OnPointerAxis(void* data, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t)
{
    static_cast<State*>(data)->closing = true;
}
// The seat is bound at version 1: the later pointer events never come.
const wl_pointer_listener PointerListener = {OnPointerEnter, OnPointerLeave, OnPointerMotion, OnPointerButton,
                                             OnPointerAxis,  nullptr,        nullptr,         nullptr,
                                             nullptr,        nullptr};

void OnKeymap(void* data, wl_keyboard*, std::uint32_t format, int32_t fd, std::uint32_t size)
{
    static_cast<State*>(data)->keys.takeKeymap(format, fd, size);
}
void OnKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void OnKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state)
{
    State& s = *static_cast<State*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED)
        return;
    if (s.fullscreen() || s.keys.closesWindow(key))
        s.closing = true;
}
void OnModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
                 std::uint32_t locked, std::uint32_t group)
{
    static_cast<State*>(data)->keys.takeModifiers(depressed, latched, locked, group);
}
const wl_keyboard_listener KeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave, OnKey, OnModifiers,
                                               nullptr};

void OnTouchDown(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t)
{
    static_cast<State*>(data)->closing = true;
}
void OnTouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, int32_t) {}
void OnTouchMotion(void*, wl_touch*, std::uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchFrame(void*, wl_touch*) {}
void OnTouchCancel(void*, wl_touch*) {}
const wl_touch_listener TouchListener = {OnTouchDown, OnTouchUp, OnTouchMotion, OnTouchFrame, OnTouchCancel,
                                         nullptr,     nullptr};

// Input the mode listens to: a window its keys (Escape, q), the full-screen
// show everything; the wallpaper none.
void OnSeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    State& s = *static_cast<State*>(data);
    const bool wantsPointer = s.fullscreen() && (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool wantsKeyboard =
        s.mode != LinuxOptions::Mode::Background && (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool wantsTouch = s.fullscreen() && (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (wantsPointer && s.pointer == nullptr) {
        s.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(s.pointer, &PointerListener, &s);
    } else if (!wantsPointer && s.pointer != nullptr) {
        wl_pointer_destroy(s.pointer);
        s.pointer = nullptr;
        s.pointerSurface = nullptr;
    }
    if (wantsKeyboard && s.keyboard == nullptr) {
        s.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(s.keyboard, &KeyboardListener, &s);
    } else if (!wantsKeyboard && s.keyboard != nullptr) {
        wl_keyboard_destroy(s.keyboard);
        s.keyboard = nullptr;
    }
    if (wantsTouch && s.touch == nullptr) {
        s.touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(s.touch, &TouchListener, &s);
    } else if (!wantsTouch && s.touch != nullptr) {
        wl_touch_destroy(s.touch);
        s.touch = nullptr;
    }
}
void OnSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener SeatListener = {OnSeatCapabilities, OnSeatName};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    State& s = *static_cast<State*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && s.compositor == nullptr) {
        // Version 3 brings the buffer scale.
        if (version >= 3)
            s.compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 3));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && s.shell == nullptr) {
        s.shell = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(s.shell, &ShellListener, &s);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && s.layers == nullptr) {
        s.layers =
            static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && s.places == nullptr) {
        s.places = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_output_manager_v1_interface, 1));
        for (const std::unique_ptr<Output>& out : s.outputs)
            WatchPlace(s, *out);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && s.seat == nullptr) {
        s.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        wl_seat_add_listener(s.seat, &SeatListener, &s);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        std::unique_ptr<Output> out = std::make_unique<Output>();
        out->name = name;
        out->output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
        wl_output_add_listener(out->output, &OutputListener, out.get());
        WatchPlace(s, *out);
        s.outputs.push_back(std::move(out));
    }
}

// An output unplugged: its view goes with it, and the others take over the show.
void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    State& s = *static_cast<State*>(data);
    for (auto it = s.outputs.begin(); it != s.outputs.end(); ++it) {
        Output& out = **it;
        if (out.name != name)
            continue;
        if (out.view != nullptr) {
            if (s.source == out.view.get())
                s.source = nullptr;
            s.placed.clear();
            out.view.reset();
            s.layoutStale = true;
        }
        if (out.place != nullptr)
            zxdg_output_v1_destroy(out.place);
        wl_output_destroy(out.output);
        s.outputs.erase(it);
        return;
    }
}
const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

// What ended the connection, in words.
int ConnectionLost(wl_display* display)
{
    const int error = wl_display_get_error(display);
    if (error == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t code = wl_display_get_protocol_error(display, &interface, &id);
        std::fprintf(stderr, "quorvelin: Wayland protocol error %u on %s\n", code,
                     interface != nullptr ? interface->name : "the display");
    } else {
        std::fprintf(stderr, "quorvelin: the Wayland compositor closed the connection\n");
    }
    return 1;
}
} // namespace

WaylandHost::WaylandHost(const LinuxOptions& options) : options(options), state(std::make_unique<State>())
{
    state->mode = options.mode;
}

WaylandHost::~WaylandHost() { release(); }

int WaylandHost::run()
{
    StopSignals::hold();
    int status = open();
    if (status == 0)
        status = playLoop();
    release();
    return status;
}

int WaylandHost::open()
{
    State& s = *state;
    s.display = wl_display_connect(nullptr);
    if (s.display == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        if (name == nullptr || *name == '\0')
            std::fprintf(stderr, "quorvelin: no Wayland compositor (WAYLAND_DISPLAY is not set)\n");
        else
            std::fprintf(stderr, "quorvelin: cannot connect to the Wayland compositor '%s'\n", name);
        return 1;
    }
    s.registry = wl_display_get_registry(s.display);
    wl_registry_add_listener(s.registry, &RegistryListener, &s);
    // The globals, then what the bound ones say of themselves (outputs, the seat).
    if (wl_display_roundtrip(s.display) < 0 || wl_display_roundtrip(s.display) < 0)
        return ConnectionLost(s.display);

    const std::string name = CompositorName();
    if (s.compositor == nullptr) {
        std::fprintf(stderr, "quorvelin: the Wayland compositor '%s' offers no wl_compositor (version 3)\n",
                     name.c_str());
        return 1;
    }
    if (options.mode == LinuxOptions::Mode::Background && s.layers == nullptr) {
        std::fprintf(stderr,
                     "quorvelin: --background needs the layer shell (zwlr_layer_shell_v1), which the Wayland "
                     "compositor '%s' does not offer\n",
                     name.c_str());
        return 1;
    }
    if (options.mode != LinuxOptions::Mode::Background && s.shell == nullptr) {
        std::fprintf(stderr, "quorvelin: the Wayland compositor '%s' offers no xdg-shell (xdg_wm_base)\n",
                     name.c_str());
        return 1;
    }
    std::string error;
    if (!s.egl.open(s.display, error)) {
        std::fprintf(stderr, "quorvelin: %s\n", error.c_str());
        return 1;
    }
    if (!s.egl.hasStencil())
        std::fprintf(stderr, "quorvelin: warning: no stencil buffer; the floor's mirror image will not be clipped\n");
    if (options.mode == LinuxOptions::Mode::Window)
        s.window =
            std::make_unique<WaylandView>(WaylandView::Role::Window, s.compositor, s.shell, s.layers, nullptr, 0, 0);
    return 0;
}

// After events: a view for every output that came, none for one that went,
// each view at its configured size and scale, and the layout after them.
void WaylandHost::followViews()
{
    State& s = *state;
    std::vector<WaylandView*>& views = s.views;
    views.clear();
    if (s.window != nullptr) {
        if (s.window->closeRequested())
            s.closing = true;
        int scale = 1;
        for (wl_output* entered : s.window->getEnteredOutputs())
            if (const Output* out = s.outputOf(entered))
                scale = std::max(scale, out->scale);
        s.layoutStale |= s.window->follow(s.egl, scale);
        views.push_back(s.window.get());
    }
    const WaylandView::Role role =
        s.fullscreen() ? WaylandView::Role::Fullscreen : WaylandView::Role::Background;
    for (const std::unique_ptr<Output>& out : s.outputs) {
        if (s.mode == LinuxOptions::Mode::Window || !out->described || out->refused)
            continue;
        if (out->view == nullptr) {
            // The first frame at the output's size: a full-screen toplevel
            // learns its size only once it shows one.
            out->view = std::make_unique<WaylandView>(role, s.compositor, s.shell, s.layers, out->output,
                                                      out->modeWidth / out->scale, out->modeHeight / out->scale);
            s.layoutStale = true;
        }
        if (out->view->closeRequested()) {
            // A full-screen saver the compositor closes is done; a wallpaper
            // it takes off one output leaves that output to the desktop.
            if (s.fullscreen())
                s.closing = true;
            if (s.source == out->view.get())
                s.source = nullptr;
            s.placed.clear();
            out->view.reset();
            out->refused = true;
            s.layoutStale = true;
            continue;
        }
        s.layoutStale |= out->view->follow(s.egl, out->scale);
        views.push_back(out->view.get());
    }
    if (!s.layoutStale)
        return;
    s.layoutStale = false;
    // Outputs, sizes or scales changed, and the surface drawn on may be
    // another: the background's copy is taken afresh.
    InvalidateBackgroundCopy();

    // The views side by side in a virtual window: the monitors' layout then
    // picks the largest to draw on and fits the picture to the others.
    s.placed.clear();
    s.source = nullptr;
    std::vector<PixelRect> rects;
    int width = 0;
    int height = 0;
    for (WaylandView* view : views) {
        if (view->getDrawable() == nullptr) {
            if (view->pixelWidth() > 0) {
                std::fprintf(stderr, "quorvelin: EGL cannot draw on a Wayland surface\n");
                s.failed = true;
            }
            continue;
        }
        Placed placed;
        placed.view = view;
        placed.rect = PixelRect{width, 0, view->pixelWidth(), view->pixelHeight()};
        rects.push_back(placed.rect);
        s.placed.push_back(placed);
        width += view->pixelWidth();
        height = std::max(height, view->pixelHeight());
    }
    if (s.placed.empty())
        return;
    const MonitorLayout layout(rects, width, height);
    for (Placed& placed : s.placed) {
        if (placed.rect.x == layout.getSource().x)
            s.source = placed.view;
        for (const MonitorCopy& copy : layout.getCopies())
            if (copy.shown.x >= placed.rect.x && copy.shown.x < placed.rect.x + placed.rect.width) {
                placed.copy = copy;
                placed.copied = true;
            }
    }
    if (s.source == nullptr || !s.egl.makeCurrent(s.source->getDrawable())) {
        s.source = nullptr;
        return;
    }
    if (!s.sceneStarted) {
        InitScene(s.source->pixelWidth(), s.source->pixelHeight());
        s.sceneStarted = true;
    }
    s.presenter.fit(layout, 0, MonitorPresenter::Surfaces::OnePerMonitor);
}

// One step of the show: drawn on the source, copied to every other view
// whose compositor wants a frame or awaits the answer to a configure. A view
// not yet ready keeps its last one.
void WaylandHost::drawFrame(long long now)
{
    State& s = *state;
    s.egl.makeCurrent(s.source->getDrawable());
    RenderFrame();
    s.presenter.present();
    s.source->awaitFrame();
    s.egl.swap(s.source->getDrawable());
    for (Placed& placed : s.placed) {
        if (placed.view == s.source)
            placed.swapped = now;
        if (!placed.copied || placed.view == s.source
            || !(placed.view->frameDue() || placed.view->configurePending()))
            continue;
        if (!s.egl.makeCurrent(placed.view->getDrawable()))
            continue;
        s.presenter.presentCopy(placed.copy, placed.rect);
        placed.view->awaitFrame();
        s.egl.swap(placed.view->getDrawable());
        placed.swapped = now;
    }
}

// When the next frame may be drawn, or -1 while the source does not want
// one: one period after the last, and once every other output wants one
// too, so that all show the same frame; an output that keeps the
// compositor waiting past kCopyPatience is not waited for.
long long WaylandHost::frameReadyAt(long long next) const
{
    const State& s = *state;
    if (s.source == nullptr || !s.source->frameDue())
        return -1;
    long long at = next;
    for (const Placed& placed : s.placed)
        if (placed.copied && placed.view != s.source && !placed.view->frameDue())
            at = std::max(at, placed.swapped + kCopyPatience);
    return at;
}

int WaylandHost::playLoop()
{
    State& s = *state;
    const sigset_t waitMask = StopSignals::waitMask();

    const long long period = 1000000000LL / options.fps;
    long long next = Nanoseconds();
    pollfd connection{wl_display_get_fd(s.display), POLLIN, 0};
    while (!s.closing && !StopSignals::requested()) {
        followViews();
        if (s.failed)
            return 1;
        if (s.closing)
            break;
        long long now = Nanoseconds();
        // At most one frame per period: the animation counts frames, and a
        // fast monitor would otherwise hurry it. A configure is answered by
        // a frame at once: a compositor may show the surface (and call back
        // for frames) only after that.
        const bool answer = std::any_of(s.placed.begin(), s.placed.end(),
                                        [](const Placed& placed) { return placed.view->configurePending(); });
        const long long readyAt = frameReadyAt(next);
        if (s.source != nullptr && ((readyAt >= 0 && now >= readyAt) || answer)) {
            drawFrame(now);
            next += period;
            if (next < now)
                next = now;
        }

        while (wl_display_prepare_read(s.display) != 0)
            if (wl_display_dispatch_pending(s.display) < 0)
                return ConnectionLost(s.display);
        // Events just dispatched may have ended the show: no waiting then.
        if (s.closing) {
            wl_display_cancel_read(s.display);
            break;
        }
        if (wl_display_flush(s.display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(s.display);
            return ConnectionLost(s.display);
        }
        // Without a frame due, the show waits for the compositor (a surface
        // nobody sees gets no callbacks and costs nothing) or a signal.
        const long long at = frameReadyAt(next);
        const bool waiting = at < 0;
        now = Nanoseconds();
        const long long wait = std::max(at - now, 0LL);
        timespec timeout{static_cast<time_t>(wait / 1000000000LL), static_cast<long>(wait % 1000000000LL)};
        const int ready = ppoll(&connection, 1, waiting ? nullptr : &timeout, &waitMask);
        if (ready > 0 && (connection.revents & POLLIN) != 0) {
            if (wl_display_read_events(s.display) < 0)
                return ConnectionLost(s.display);
        } else {
            wl_display_cancel_read(s.display);
            if (ready > 0 && (connection.revents & (POLLERR | POLLHUP)) != 0)
                return ConnectionLost(s.display);
        }
        if (wl_display_dispatch_pending(s.display) < 0)
            return ConnectionLost(s.display);
    }
    return 0;
}

void WaylandHost::release()
{
    State& s = *state;
    if (s.display == nullptr)
        return;
    if (s.sceneStarted && !s.placed.empty() && s.egl.makeCurrent(s.placed.front().view->getDrawable()))
        s.presenter.release();
    s.placed.clear();
    s.window.reset();
    for (const std::unique_ptr<Output>& out : s.outputs) {
        out->view.reset();
        if (out->place != nullptr)
            zxdg_output_v1_destroy(out->place);
        wl_output_destroy(out->output);
    }
    s.outputs.clear();
    s.egl.release();
    if (s.pointer != nullptr)
        wl_pointer_destroy(s.pointer);
    if (s.keyboard != nullptr)
        wl_keyboard_destroy(s.keyboard);
    if (s.touch != nullptr)
        wl_touch_destroy(s.touch);
    if (s.seat != nullptr)
        wl_seat_destroy(s.seat);
    if (s.places != nullptr)
        zxdg_output_manager_v1_destroy(s.places);
    if (s.layers != nullptr)
        zwlr_layer_shell_v1_destroy(s.layers);
    if (s.shell != nullptr)
        xdg_wm_base_destroy(s.shell);
    if (s.compositor != nullptr)
        wl_compositor_destroy(s.compositor);
    wl_registry_destroy(s.registry);
    wl_display_flush(s.display);
    wl_display_disconnect(s.display);
    s.display = nullptr;
}
