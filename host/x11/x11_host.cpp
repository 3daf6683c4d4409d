#include "host/x11/x11_host.h"

#include <poll.h>
#include <time.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/linux/pointer_travel.h"
#include "host/linux/stop_signals.h"
#include "host/monitors/monitor_presenter.h"
#include "host/x11/x11_monitors.h"
#include "host/x11/x11_visual_fit.h"
#include "render/gl.h"
#include "resources/icon_data.h"
#include "resources/icon_reader.h"
#include "scene/background_copy.h"
#include "scene/render_frame.h"

namespace {

int LastXError = 0;

// Errors about a window that has gone, or an id that never was one, are
// answers to be checked, not reasons for Xlib to end the program.
int RecordXError(Display*, XErrorEvent* error)
{
    LastXError = error->error_code;
    return 0;
}

timespec Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

long long Nanoseconds(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; }

// The window's icon for task bars and window lists: the Windows icon's
// pictures as _NET_WM_ICON lists them (width, height, then the pixels, each
// in a long, as Xlib takes 32-bit properties). No icon when none reads.
void SetWindowIcon(Display* display, Window window)
{
    std::vector<unsigned long> values;
    for (const IconImage& image : ReadIcon(kIconData, kIconDataSize)) {
        values.push_back(static_cast<unsigned long>(image.side));
        values.push_back(static_cast<unsigned long>(image.side));
        values.insert(values.end(), image.argb.begin(), image.argb.end());
    }
    if (values.empty())
        return;
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
}

int GlxValue(Display* display, XVisualInfo* visual, int attribute)
{
    int value = 0;
    if (glXGetConfig(display, visual, attribute, &value) != 0)
        return 0;
    return value;
}

GlVisualTraits TraitsOf(Display* display, XVisualInfo* visual)
{
    GlVisualTraits traits;
    if (visual == nullptr)
        return traits;
    traits.openGl = GlxValue(display, visual, GLX_USE_GL) != 0;
    traits.rgba = GlxValue(display, visual, GLX_RGBA) != 0;
    traits.doubleBuffered = GlxValue(display, visual, GLX_DOUBLEBUFFER) != 0;
    traits.depthBits = GlxValue(display, visual, GLX_DEPTH_SIZE);
    traits.stencilBits = GlxValue(display, visual, GLX_STENCIL_SIZE);
    return traits;
}

// The show's own choice: double-buffered RGBA with depth and stencil, or
// without stencil when the server has none (the mirror then goes unclipped).
XVisualInfo* ChooseOwnVisual(Display* display, int screen)
{
    int withStencil[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                         GLX_DEPTH_SIZE, 16, GLX_STENCIL_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, withStencil);
    if (visual != nullptr)
        return visual;
    int withoutStencil[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                            GLX_DEPTH_SIZE, 16, None};
    return glXChooseVisual(display, screen, withoutStencil);
}

// RandR's word that the screen changed, or the root window's new size.
bool IsScreenChange(const XEvent& event, int randrEventBase, Window root)
{
    if (randrEventBase >= 0 && event.type == randrEventBase + RRScreenChangeNotify)
        return true;
    return event.type == ConfigureNotify && event.xconfigure.window == root;
}
} // namespace

struct X11Host::State {
    Display* display = nullptr;
    int screen = 0;
    XVisualInfo* visual = nullptr;
    Colormap colormap = 0;
    Cursor blankCursor = 0;
    GLXContext context = nullptr;

    Window target = 0;   // the window whose size the show follows
    Window drawable = 0; // the window drawn into: target, or a child of it made by us
    bool ownsDrawable = false;
    bool ownsTarget = false;

    Atom deleteWindow = 0;
    int width = 0;
    int height = 0;
    PointerTravel pointerTravel; // from where the pointer was at start
    bool closing = false;
    // Our own window while unmapped (minimised, on another workspace) or fully
    // covered: nothing of a frame would be seen, so the show waits where it is.
    bool hidden = false;

    // Full screen, or on the whole root window: one view per monitor,
    // following the screen's changes (RandR's events, when it has them).
    bool perMonitor = false;
    int randrEventBase = -1;
    MonitorPresenter presenter;
};

X11Host::X11Host(const LinuxOptions& options) : options(options), state(std::make_unique<State>()) {}

X11Host::~X11Host() { release(); }

int X11Host::run()
{
    StopSignals::hold();
    const int status = open();
    if (status != 0) {
        release();
        return status;
    }
    playLoop();
    release();
    return 0;
}

int X11Host::open()
{
    State& s = *state;
    s.display = XOpenDisplay(nullptr);
    if (s.display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        if (name == nullptr || *name == '\0')
            std::fprintf(stderr, "quorvelin: no X display (DISPLAY is not set)\n");
        else
            std::fprintf(stderr, "quorvelin: cannot open display '%s'\n", name);
        return 1;
    }
    XSetErrorHandler(RecordXError);
    s.screen = DefaultScreen(s.display);

    int errorBase = 0;
    int eventBase = 0;
    if (!glXQueryExtension(s.display, &errorBase, &eventBase)) {
        std::fprintf(stderr, "quorvelin: display '%s' has no OpenGL (GLX)\n", DisplayString(s.display));
        return 1;
    }

    int status = 0;
    s.perMonitor = options.mode == LinuxOptions::Mode::Fullscreen;
    switch (options.mode) {
    case LinuxOptions::Mode::Window:
    case LinuxOptions::Mode::Fullscreen:
        status = makeOwnWindow();
        break;
    case LinuxOptions::Mode::WindowId:
        status = adoptWindow(options.windowId, false);
        break;
    case LinuxOptions::Mode::Background:
        // main() gives this mode to the Wayland host; X11's desktop is --root.
        std::fprintf(stderr, "quorvelin: --background needs a Wayland compositor (on X11, use --root)\n");
        return 1;
    case LinuxOptions::Mode::Root: {
        const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
        unsigned long id = 0;
        if (daemonWindow != nullptr && *daemonWindow != '\0') {
            if (!ParseWindowId(daemonWindow, id)) {
                std::fprintf(stderr, "quorvelin: bad window id '%s' in XSCREENSAVER_WINDOW\n", daemonWindow);
                return 2;
            }
            status = adoptWindow(id, false);
        } else {
            // A daemon's window is one monitor's; the root window is all of them.
            s.perMonitor = true;
            status = adoptWindow(RootWindow(s.display, s.screen), true);
        }
        break;
    }
    }
    if (status != 0)
        return status;
    if (s.perMonitor)
        watchScreen();
    return makeContext();
}

// Monitors that come, go or change mode reach the show as RandR screen
// changes and as a new size of the root window.
void X11Host::watchScreen()
{
    State& s = *state;
    const Window root = RootWindow(s.display, s.screen);
    int errorBase = 0;
    if (XRRQueryExtension(s.display, &s.randrEventBase, &errorBase))
        XRRSelectInput(s.display, root, RRScreenChangeNotifyMask);
    else
        s.randrEventBase = -1;
    if (s.target != root)
        XSelectInput(s.display, root, StructureNotifyMask);
}

// The screen changed: the full-screen window covers it again, and the views
// follow the monitors (which may change while the screen keeps its size).
void X11Host::followScreen()
{
    State& s = *state;
    const int width = DisplayWidth(s.display, s.screen);
    const int height = DisplayHeight(s.display, s.screen);
    if (options.mode == LinuxOptions::Mode::Fullscreen && (width != s.width || height != s.height))
        XMoveResizeWindow(s.display, s.target, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    fitViews();
}

// One view on the whole drawable, or one per monitor: the scene draws on
// the largest and the others get its picture (host/monitors/).
void X11Host::fitViews()
{
    State& s = *state;
    std::vector<PixelRect> monitors;
    if (s.perMonitor) {
        const Window root = RootWindow(s.display, s.screen);
        monitors = ScreenMonitors(s.display, root);
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(s.display, s.drawable, root, 0, 0, &x, &y, &child);
        for (PixelRect& monitor : monitors) {
            monitor.x -= x;
            monitor.y -= y;
        }
    }
    s.presenter.fit(MonitorLayout(monitors, s.width, s.height));
}

// Draws into a window someone else owns: with its own visual, or in a child
// window of ours that covers it when our visual serves the show better.
int X11Host::adoptWindow(unsigned long id, bool isRoot)
{
    State& s = *state;
    XWindowAttributes attributes{};
    LastXError = 0;
    const Status found = XGetWindowAttributes(s.display, id, &attributes);
    XSync(s.display, False);
    if (found == 0 || LastXError != 0) {
        std::fprintf(stderr, "quorvelin: no window 0x%lx on display '%s'\n", id, DisplayString(s.display));
        return 2;
    }
    s.target = id;
    s.screen = XScreenNumberOfScreen(attributes.screen);
    s.width = attributes.width;
    s.height = attributes.height;
    // Size changes, exposes and the window's end only: input stays with its owner.
    XSelectInput(s.display, id, StructureNotifyMask | ExposureMask | VisibilityChangeMask);

    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = s.screen;
    int count = 0;
    XVisualInfo* windowVisual = XGetVisualInfo(s.display, VisualIDMask | VisualScreenMask, &wanted, &count);
    XVisualInfo* ownVisual = ChooseOwnVisual(s.display, s.screen);
    const GlVisualTraits ownTraits = TraitsOf(s.display, ownVisual);
    const AdoptedDrawing drawing =
        ChooseAdoptedDrawing(TraitsOf(s.display, windowVisual), ownVisual != nullptr ? &ownTraits : nullptr, isRoot);
    if (drawing == AdoptedDrawing::Directly) {
        s.visual = windowVisual;
        s.drawable = id;
        if (ownVisual != nullptr)
            XFree(ownVisual);
        return 0;
    }
    if (windowVisual != nullptr)
        XFree(windowVisual);
    if (drawing == AdoptedDrawing::InChild) {
        s.visual = ownVisual;
        return makeOwnWindow();
    }
    if (ownVisual != nullptr)
        XFree(ownVisual);
    std::fprintf(stderr, "quorvelin: window 0x%lx cannot be drawn into with OpenGL\n", id);
    return 1;
}

int X11Host::makeOwnWindow()
{
    State& s = *state;
    if (s.visual == nullptr)
        s.visual = ChooseOwnVisual(s.display, s.screen);
    if (s.visual == nullptr) {
        std::fprintf(stderr, "quorvelin: no double-buffered RGBA OpenGL visual with a depth buffer on display '%s'\n",
                     DisplayString(s.display));
        return 1;
    }

    const Window root = RootWindow(s.display, s.screen);
    const bool child = s.target != 0;
    const bool fullscreen = options.mode == LinuxOptions::Mode::Fullscreen;
    if (!child) {
        s.width = fullscreen ? DisplayWidth(s.display, s.screen) : kLinuxWindowWidth;
        s.height = fullscreen ? DisplayHeight(s.display, s.screen) : kLinuxWindowHeight;
    }

    s.colormap = XCreateColormap(s.display, root, s.visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = s.colormap;
    attributes.background_pixel = BlackPixel(s.display, s.screen);
    attributes.border_pixel = 0;
    unsigned long mask = CWColormap | CWBackPixel | CWEventMask | CWBorderPixel;
    // A child selects no input, so clicks and keys reach the owner's window;
    // exposes do not travel up, so it hears its own.
    attributes.event_mask = ExposureMask | VisibilityChangeMask;
    if (!child) {
        attributes.event_mask |= StructureNotifyMask | KeyPressMask;
        if (fullscreen)
            attributes.event_mask |= ButtonPressMask | PointerMotionMask;
    }
    const Window parent = child ? s.target : root;
    const Window window = XCreateWindow(s.display, parent, 0, 0, static_cast<unsigned>(s.width > 0 ? s.width : 1),
                                        static_cast<unsigned>(s.height > 0 ? s.height : 1), 0, s.visual->depth,
                                        InputOutput, s.visual->visual, mask, &attributes);
    s.drawable = window;
    s.ownsDrawable = true;
    if (child) {
        XMapWindow(s.display, window);
        return 0;
    }
    s.target = window;

    XStoreName(s.display, window, LinuxWindowTitle);
    const Atom utf8 = XInternAtom(s.display, "UTF8_STRING", False);
    XChangeProperty(s.display, window, XInternAtom(s.display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(LinuxWindowTitle),
                    static_cast<int>(std::strlen(LinuxWindowTitle)));
    char resName[] = "quorvelin";
    char resClass[] = "Quorvelin";
    XClassHint classHint{resName, resClass};
    XSetClassHint(s.display, window, &classHint);
    SetWindowIcon(s.display, window);
    s.deleteWindow = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(s.display, window, &s.deleteWindow, 1);

    if (fullscreen) {
        const Atom fullscreenState = XInternAtom(s.display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(s.display, window, XInternAtom(s.display, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&fullscreenState), 1);
        static const char blank[1] = {0};
        const Pixmap pixmap = XCreateBitmapFromData(s.display, window, blank, 1, 1);
        XColor black{};
        s.blankCursor = XCreatePixmapCursor(s.display, pixmap, pixmap, &black, &black, 0, 0);
        XFreePixmap(s.display, pixmap);
        XDefineCursor(s.display, window, s.blankCursor);

        // Movement counts from where the pointer was when the show started.
        Window rootReturn = 0;
        Window childReturn = 0;
        int rootX = 0;
        int rootY = 0;
        int winX = 0;
        int winY = 0;
        unsigned int buttons = 0;
        XQueryPointer(s.display, root, &rootReturn, &childReturn, &rootX, &rootY, &winX, &winY, &buttons);
        s.pointerTravel.endsShow(rootX, rootY);
    }

    XMapRaised(s.display, window);
    if (fullscreen) {
        // Input anywhere on the screen belongs to the saver while it runs.
        // The grabs need the window viewable; without them the window's own
        // events still close it.
        XEvent event;
        XWindowEvent(s.display, window, StructureNotifyMask, &event);
        while (event.type != MapNotify) {
            handleEvent(&event);
            XWindowEvent(s.display, window, StructureNotifyMask, &event);
        }
        XGrabKeyboard(s.display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
        XGrabPointer(s.display, window, True, ButtonPressMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
                     None, s.blankCursor, CurrentTime);
    }
    return 0;
}

int X11Host::makeContext()
{
    State& s = *state;
    s.context = glXCreateContext(s.display, s.visual, nullptr, True);
    if (s.context == nullptr || !glXMakeCurrent(s.display, s.drawable, s.context)) {
        std::fprintf(stderr, "quorvelin: cannot make an OpenGL context current on display '%s'\n",
                     DisplayString(s.display));
        return 1;
    }
    if (GlxValue(s.display, s.visual, GLX_STENCIL_SIZE) < 1)
        std::fprintf(stderr, "quorvelin: warning: no stencil buffer; the floor's mirror image will not be clipped\n");

    // The size now, after any change a window manager made while mapping.
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(s.display, s.target, &attributes) != 0) {
        s.width = attributes.width;
        s.height = attributes.height;
    }
    InitScene(s.width, s.height);
    // The viewport GLX gave the context is the drawable's size at the first
    // make-current, which a window manager may have changed since.
    followSize(s.width, s.height);
    return 0;
}

void X11Host::followSize(int width, int height)
{
    State& s = *state;
    if (s.ownsDrawable && s.drawable != s.target)
        XResizeWindow(s.display, s.drawable, static_cast<unsigned>(width > 0 ? width : 1),
                      static_cast<unsigned>(height > 0 ? height : 1));
    s.width = width;
    s.height = height;
    fitViews();
}

void X11Host::handleEvent(void* opaque)
{
    State& s = *state;
    XEvent& event = *static_cast<XEvent*>(opaque);
    if (s.perMonitor && s.context != nullptr && !s.closing
        && IsScreenChange(event, s.randrEventBase, RootWindow(s.display, s.screen))) {
        XRRUpdateConfiguration(&event);
        InvalidateBackgroundCopy();
        followScreen();
    }
    const bool fullscreen = options.mode == LinuxOptions::Mode::Fullscreen;
    const bool ownWindow = options.mode == LinuxOptions::Mode::Window || fullscreen;
    // What the window showed, or the buffer under it, may have changed: the
    // background's copy is taken afresh from a frame drawn after this.
    if (event.type == Expose || event.type == VisibilityNotify || event.type == MapNotify
        || event.type == ConfigureNotify)
        InvalidateBackgroundCopy();
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.window == s.target && s.context != nullptr
            && (event.xconfigure.width != s.width || event.xconfigure.height != s.height))
            followSize(event.xconfigure.width, event.xconfigure.height);
        break;
    case UnmapNotify:
        if (ownWindow && event.xunmap.window == s.target)
            s.hidden = true;
        break;
    case MapNotify:
        if (ownWindow && event.xmap.window == s.target)
            s.hidden = false;
        break;
    case VisibilityNotify:
        if (ownWindow && event.xvisibility.window == s.target)
            s.hidden = event.xvisibility.state == VisibilityFullyObscured;
        break;
    case DestroyNotify:
        // The owner took its window away: nothing is left to draw into.
        // A child of ours went with it.
        if (event.xdestroywindow.window == s.target) {
            s.closing = true;
            s.drawable = 0;
        }
        break;
    case ClientMessage:
        if (ownWindow && static_cast<Atom>(event.xclient.data.l[0]) == s.deleteWindow)
            s.closing = true;
        break;
    case KeyPress:
        if (fullscreen) {
            s.closing = true;
        } else if (ownWindow) {
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            if (key == XK_Escape || key == XK_q)
                s.closing = true;
        }
        break;
    case ButtonPress:
        if (fullscreen)
            s.closing = true;
        break;
    case MotionNotify:
        if (fullscreen && s.pointerTravel.endsShow(event.xmotion.x_root, event.xmotion.y_root))
            s.closing = true;
        break;
    default:
        break;
    }
}

void X11Host::playLoop()
{
    State& s = *state;
    const sigset_t waitMask = StopSignals::waitMask();

    const long long period = 1000000000LL / options.fps;
    long long next = Nanoseconds(Now());
    pollfd connection{ConnectionNumber(s.display), POLLIN, 0};
    while (!s.closing && !StopSignals::requested()) {
        if (!s.hidden) {
            RenderFrame();
            s.presenter.present();
            glXSwapBuffers(s.display, s.drawable);
        }

        // The next tick is due one period after this one; a late frame moves
        // the schedule instead of bursting to catch up, since the animation
        // counts frames, not time.
        next += period;
        long long now = Nanoseconds(Now());
        if (next < now)
            next = now;
        do {
            while (XPending(s.display) > 0) {
                XEvent event;
                XNextEvent(s.display, &event);
                handleEvent(&event);
            }
            if (s.closing)
                break;
            const long long wait = next - now;
            timespec timeout{static_cast<time_t>(wait / 1000000000LL), static_cast<long>(wait % 1000000000LL)};
            // Hidden, the show sleeps until an event or a signal, and resumes
            // with the frame after the last one drawn.
            ppoll(&connection, 1, s.hidden ? nullptr : &timeout, &waitMask);
            now = Nanoseconds(Now());
        } while ((s.hidden || now < next) && !StopSignals::requested());
    }
}

void X11Host::release()
{
    State& s = *state;
    if (s.display == nullptr)
        return;
    if (s.context != nullptr) {
        s.presenter.release();
        glXMakeCurrent(s.display, None, nullptr);
        glXDestroyContext(s.display, s.context);
        s.context = nullptr;
    }
    if (s.ownsDrawable && s.drawable != 0)
        XDestroyWindow(s.display, s.drawable);
    if (s.blankCursor != 0)
        XFreeCursor(s.display, s.blankCursor);
    if (s.colormap != 0)
        XFreeColormap(s.display, s.colormap);
    if (s.visual != nullptr)
        XFree(s.visual);
    XCloseDisplay(s.display);
    s = State{};
}
