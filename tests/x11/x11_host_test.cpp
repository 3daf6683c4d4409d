// The real quorvelin program on a private Xvfb display per test: that it
// draws the show in each mode, what closes it there and what does not, its
// exit statuses, and the screen-saver daemon running it as a hack.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <GL/glx.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {
// How long a program may take to show the title or to leave: room for a
// loaded machine; one that never does is caught all the same.
constexpr int kWaitMs = 30000;

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && std::chrono::steady_clock::now() < end)
        Pause(50);
    return done();
}

// A program run by a test, its stderr kept; killed if it still runs at the end.
class Child {
public:
    explicit Child(std::vector<std::string> command)
    {
        char pattern[] = "/tmp/quorvelin-x11-stderr-XXXXXX";
        const int errFd = mkstemp(pattern);
        errPath = pattern;
        std::vector<char*> argv;
        for (std::string& arg : command)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if ((pid = fork()) == 0) {
            dup2(errFd, STDERR_FILENO);
            dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(errFd);
    }
    ~Child()
    {
        if (running())
            kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        unlink(errPath.c_str());
    }
    // The exit status, once the program has ended by itself within the time.
    std::optional<int> exitWithin(int timeoutMs = kWaitMs)
    {
        WaitUntil([this] { return !running(); }, timeoutMs);
        return status;
    }
    bool running()
    {
        int raw = 0;
        if (!status && waitpid(pid, &raw, WNOHANG) == pid)
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return !status;
    }
    void signal(int number) { kill(pid, number); }
    std::string errors() const
    {
        std::stringstream text;
        text << std::ifstream(errPath).rdbuf();
        return text.str();
    }

private:
    pid_t pid = -1;
    std::optional<int> status;
    std::string errPath;
};

// The program after environment changes ("NAME=value", or "-u", "NAME"), as env(1) takes them.
std::vector<std::string> Saver(const std::vector<std::string>& args, std::vector<std::string> env = {})
{
    env.insert(env.begin(), "env");
    env.push_back(QUORVELIN_X11_PROGRAM);
    env.insert(env.end(), args.begin(), args.end());
    return env;
}

// A window as the screen shows it, children drawn over it included (24-bit TrueColor).
struct Image {
    std::shared_ptr<XImage> shot;
    int width = 0, height = 0;
    unsigned long at(int x, int y) const { return XGetPixel(shot.get(), x, y); }
    // Pixels that match, in the box given in fractions of the picture.
    int count(double x0, double y0, double x1, double y1, bool (*match)(unsigned long)) const
    {
        int n = 0;
        for (int y = int(y0 * height); y < int(y1 * height); ++y)
            for (int x = int(x0 * width); x < int(x1 * width); ++x)
                n += match(at(x, y));
        return n;
    }
};

// The gold of the title logo: strongly red and green, little blue.
bool Gold(unsigned long p)
{
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return r >= 150 && g >= 100 && b <= 110 && r > b + 80;
}
bool Lit(unsigned long p) { return ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255) > 30; }

// Each test has an X server of its own, so it starts from an empty screen and
// tests can run side by side. Xvfb picks a free display number and writes it
// where -displayfd says: here, into the stderr that Child keeps.
class X11Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<Child>(std::vector<std::string>{
            "sh", "-c", "exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>&2 2>/dev/null"});
        ASSERT_TRUE(WaitUntil([&] { return server->errors().find('\n') != std::string::npos; }));
        const std::string name = ":" + server->errors().substr(0, server->errors().find('\n'));
        setenv("DISPLAY", name.c_str(), 1);
        ASSERT_NE(display = XOpenDisplay(name.c_str()), nullptr) << "Xvfb did not start";
        root = DefaultRootWindow(display);
        // A window that went away fails its check; it must not end the whole program.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    void TearDown() override
    {
        if (display != nullptr)
            XCloseDisplay(display);
        server->signal(SIGTERM);
        server->exitWithin();
    }

    Image grab(Window window)
    {
        XSync(display, False);
        XWindowAttributes a{};
        int x = 0, y = 0;
        Window child = 0;
        if (!XGetWindowAttributes(display, window, &a) || !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
            return {};
        XImage* shot = XGetImage(display, root, x, y, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
        return shot == nullptr ? Image{} : Image{std::shared_ptr<XImage>(shot, [](XImage* i) { XDestroyImage(i); }), a.width, a.height};
    }

    // The title after its fade-in: gold in the middle, nothing at the top.
    bool showsTitle(Window window)
    {
        const Image image = grab(window);
        return image.count(0.2, 0.3, 0.8, 0.7, Gold) > 400 && image.count(0.0, 0.0, 1.0, 0.2, Lit) == 0;
    }

    // The program's own top-level window, found by its title once mapped.
    Window findSaverWindow()
    {
        unsigned long found = 0;
        WaitUntil([&] {
            FILE* search = popen("xdotool search --onlyvisible --name '^Quorvelin-Saver$' 2>/dev/null", "r");
            const bool listed = std::fscanf(search, "%lu", &found) == 1;
            pclose(search);
            return listed;
        });
        return found;
    }

    Window makeWindow(int width, int height, const XVisualInfo* visual = nullptr)
    {
        Visual* v = visual != nullptr ? visual->visual : DefaultVisual(display, 0);
        XSetWindowAttributes attributes{};
        attributes.colormap = XCreateColormap(display, root, v, AllocNone);
        const Window window = XCreateWindow(display, root, 20, 30, unsigned(width), unsigned(height), 0,
                                            visual != nullptr ? visual->depth : DefaultDepth(display, 0), InputOutput,
                                            v, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }

    std::unique_ptr<Child> server;
    Display* display = nullptr;
    Window root = 0;
};

enum class Mode { Window, Fullscreen, WindowId, Root, DaemonWindow };
// An input is a key, by its keysym, or one of these.
enum Input : KeySym { Click = 1, Nudge, Move, CloseButton, Sigterm, Sigint, OwnerDestroys };
// Visuals the server offers for OpenGL that lack what the show asks for: glXChooseVisual prefers
// the smallest stencil, and without GLX_DOUBLEBUFFER takes single-buffered visuals only.
int kNoStencil[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
int kSingleBuffered[] = {GLX_RGBA, None};

struct Closing {
    const char* name;
    Mode mode;
    std::vector<KeySym> ignored; // each must leave the show running
    KeySym closes;               // and this must end it with status 0
    int* visual = nullptr;       // of the window given to --window-id, when not the default
};

class X11Closing : public X11Host, public ::testing::WithParamInterface<Closing> {};

// Would catch: a mode that draws nowhere, or on the whole root instead of the
// daemon's window; a full-screen show of another size or with the pointer
// showing; in another's window, a show that does not follow the window's size
// or, where the window's visual lacks a stencil or a double buffer, no child
// window of the show's own; a warning (no stencil: an unclipped mirror); or
// closing rules broken: a window closes on Escape, q or its close button
// only; full screen on any key, click, or a pointer movement of more than 4
// pixels from where it started; in another's window only on a signal or the
// window's end.
TEST_P(X11Closing, ShowsTheTitleAndClosesOnlyAsItsModeSays)
{
    const Closing& c = GetParam();
    XTestFakeMotionEvent(display, 0, 300, 200, CurrentTime);
    XSync(display, False);
    XVisualInfo* visual = c.visual != nullptr ? glXChooseVisual(display, 0, c.visual) : nullptr;
    int stencil = 0;
    ASSERT_TRUE(c.visual == nullptr || (visual != nullptr && !glXGetConfig(display, visual, GLX_STENCIL_SIZE, &stencil)));
    ASSERT_EQ(stencil, 0);
    const bool adopted = c.mode == Mode::WindowId || c.mode == Mode::DaemonWindow;
    const Window owned = adopted ? makeWindow(400, 300, visual) : 0;
    XFree(visual);
    std::vector<std::string> args[] = {{"--window"}, {"--fullscreen"}, {"-window-id", std::to_string(owned)}, {"--root"}, {"-root"}};
    args[int(c.mode)].insert(args[int(c.mode)].end(), {"--fps", "150"});
    Child saver(Saver(args[int(c.mode)], {"XSCREENSAVER_WINDOW=" + (c.mode == Mode::DaemonWindow ? std::to_string(owned) : "")}));
    const Window shown = adopted ? owned : c.mode == Mode::Root ? root : findSaverWindow();
    ASSERT_NE(shown, 0u) << "no mapped window titled Quorvelin-Saver";
    ASSERT_TRUE(WaitUntil([&] { return showsTitle(shown); })) << saver.errors();
    EXPECT_EQ(c.mode == Mode::DaemonWindow ? grab(root).count(0.5, 0.5, 1.0, 1.0, Lit) : 0, 0) << "drawn outside";
    if (c.mode == Mode::Fullscreen) {
        EXPECT_TRUE(grab(shown).width == 1024 && grab(shown).height == 768);
        XFixesCursorImage* cursor = XFixesGetCursorImage(display);
        ASSERT_NE(cursor, nullptr);
        EXPECT_TRUE(std::all_of(cursor->pixels, cursor->pixels + cursor->width * cursor->height,
                                [](unsigned long p) { return (p >> 24) == 0; }))
            << "the pointer shows over the full-screen show";
        XFree(cursor);
    }
    if (c.mode == Mode::WindowId) {
        // The title's columns: its centre as a share of the width, its width against the height.
        auto title = [&] {
            const Image image = grab(owned);
            int left = image.width, right = -1;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (Gold(image.at(x, y)))
                        left = std::min(left, x), right = std::max(right, x);
            return std::make_pair((left + right + 1) / 2.0 / image.width, double(right - left + 1) / image.height);
        };
        const auto before = title();
        EXPECT_NEAR(before.first, 0.5, 0.03);
        XResizeWindow(display, owned, 640, 240);
        EXPECT_TRUE(WaitUntil([&] {
            const auto now = title();
            return std::abs(now.first - 0.5) < 0.03 && std::abs(now.second - before.second) < 0.08 * before.second;
        })) << "the title did not stay centred at its size against the height";
    }

    XEvent close{};
    close.xclient = {ClientMessage, 0, True, display, shown, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
    close.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    auto send = [&](KeySym input) {
        switch (input) {
        case Click: XTestFakeButtonEvent(display, 1, True, 0), XTestFakeButtonEvent(display, 1, False, 0); break;
        case Nudge: // 4 pixels from the start, then 2
            XTestFakeMotionEvent(display, 0, 302, 202, 0), XSync(display, False);
            XTestFakeMotionEvent(display, 0, 299, 199, 0);
            break;
        case Move: XTestFakeMotionEvent(display, 0, 303, 202, 0); break; // 5 pixels
        case CloseButton: XSendEvent(display, shown, False, NoEventMask, &close); break;
        case Sigterm: saver.signal(SIGTERM); break;
        case Sigint: saver.signal(SIGINT); break;
        case OwnerDestroys: XDestroyWindow(display, owned); break;
        default:
            XSetInputFocus(display, shown, RevertToParent, CurrentTime);
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, input), True, 0);
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, input), False, 0);
        }
        XSync(display, False);
    };
    for (const KeySym input : c.ignored) {
        send(input);
        Pause(400);
        ASSERT_TRUE(saver.running()) << "closed on ignored input " << int(input);
    }
    send(c.closes);
    EXPECT_EQ(saver.exitWithin(), std::optional<int>(0)) << saver.errors();
    EXPECT_EQ(saver.errors(), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, X11Closing, ::testing::Values(
    Closing{"WindowOnQ", Mode::Window, {XK_a, Click}, XK_q},
    Closing{"WindowOnEscape", Mode::Window, {}, XK_Escape},
    Closing{"WindowOnCloseButton", Mode::Window, {}, CloseButton},
    Closing{"FullscreenOnMove", Mode::Fullscreen, {Nudge}, Move},
    Closing{"FullscreenOnKey", Mode::Fullscreen, {}, XK_space},
    Closing{"FullscreenOnClick", Mode::Fullscreen, {}, Click},
    Closing{"WindowIdOnSigterm", Mode::WindowId, {Click, XK_Escape}, Sigterm},
    Closing{"WindowIdWithoutStencilOnItsEnd", Mode::WindowId, {}, OwnerDestroys, kNoStencil},
    Closing{"WindowIdSingleBufferedOnItsEnd", Mode::WindowId, {}, OwnerDestroys, kSingleBuffered},
    Closing{"RootOnSigint", Mode::Root, {Click, XK_Escape}, Sigint},
    Closing{"DaemonWindowOnSigterm", Mode::DaemonWindow, {}, Sigterm}),
    [](const ::testing::TestParamInfo<Closing>& info) { return std::string(info.param.name); });

// Would catch: a hidden window still drawing, so the show runs on unseen (and
// uses the processor), one that never resumes, or one only partly covered
// that stops as if it were hidden. The title brightens by 0.0025 a frame, so
// its brightest red tells how far the show got.
TEST_F(X11Host, WindowUnmappedOrCoveredPausesTheShowAndResumesWhereItStopped)
{
    enum Hiding { Unmapped, Covered, PartlyCovered };
    for (const Hiding hiding : {Unmapped, Covered, PartlyCovered}) {
        SCOPED_TRACE(hiding == Unmapped ? "unmapped" : hiding == Covered ? "covered" : "partly covered");
        Child saver(Saver({"--window", "--fps", "100"}));
        const Window window = findSaverWindow();
        ASSERT_NE(window, 0u);
        const auto titleRed = [&] {
            const Image image = grab(window);
            int red = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    red = std::max(red, static_cast<int>((image.at(x, y) >> 16) & 255));
            return red;
        };
        int before = 0;
        ASSERT_TRUE(WaitUntil([&] { return (before = titleRed()) >= 40; }));
        // The partial cover leaves the window's middle, where the title is, in sight.
        const Window cover = hiding == PartlyCovered ? XCreateSimpleWindow(display, root, 0, 0, 1024, 120, 0, 0, 0)
                                                     : XCreateSimpleWindow(display, root, 0, 0, 1024, 768, 0, 0, 0);
        hiding == Unmapped ? XUnmapWindow(display, window) : XMapRaised(display, cover);
        XSync(display, False);
        Pause(3000); // 300 frames, were it drawing: the title would be at full brightness
        if (hiding == PartlyCovered) {
            // Seen while still partly covered.
            int now = 0;
            EXPECT_TRUE(WaitUntil([&] { return (now = titleRed()) - before >= 40; }, 5000))
                << "the show stopped under a partial cover: red " << before << " then " << now;
        }
        hiding == Unmapped ? XMapWindow(display, window) : XUnmapWindow(display, cover);
        XSync(display, False);
        int after = 0;
        ASSERT_TRUE(WaitUntil([&] { return (after = titleRed()) > 0; })) << "no frame after the show came back";
        if (hiding != PartlyCovered) {
            EXPECT_LT(after - before, 40) << "the show ran on while hidden";
        }
        XDestroyWindow(display, cover);
    }
}

// Would catch: a bad command line or a missing display not refused with its
// status (2 usage, 1 no display) and one line on stderr.
TEST_F(X11Host, BadCommandLinesAndMissingDisplaysGiveTheirStatusAndOneLine)
{
    const struct {
        std::vector<std::string> args, env;
        int status;
    } cases[] = {
        {{"--window-id", "0x12zz"}, {}, 2},     // the options' own test has the rest
        {{"--window-id", "0x1ffffff0"}, {}, 2}, // well formed, but no such window
        {{"--root"}, {"XSCREENSAVER_WINDOW=junk"}, 2},
        {{}, {"-u", "DISPLAY"}, 1},
        {{"--root"}, {"DISPLAY=:9999"}, 1},
    };
    for (const auto& c : cases) {
        Child saver(Saver(c.args, c.env));
        EXPECT_EQ(saver.exitWithin(), std::optional<int>(c.status)) << saver.errors();
        const std::string errors = saver.errors();
        EXPECT_TRUE(errors.rfind("quorvelin: ", 0) == 0 && std::count(errors.begin(), errors.end(), '\n') == 1) << errors;
    }
}

// Would catch: a hack that the real daemon cannot start, that draws nothing
// in its window or warns, or that outlives deactivation. The daemon starts no
// hacks as root, so under root it runs as nobody.
TEST_F(X11Host, TheDaemonRunsItAsItsOnlyHackAndStopsIt)
{
    if (std::system("command -v xscreensaver-command >/dev/null") != 0)
        GTEST_SKIP() << "the xscreensaver package is not installed";
    char home[] = "/tmp/quorvelin-x11-daemon-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const std::string settings = std::string(home) + "/.xscreensaver";
    // The frame rate tells the daemon's hack apart from other tests' programs.
    const std::string hack = std::string(QUORVELIN_X11_PROGRAM) + " --root --fps 199";
    std::ofstream(settings) << "timeout: 1:00:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
                            << "mode: one\nselected: 0\nprograms: GL: " << hack << " \\n\n";
    std::vector<std::string> asUser;
    if (const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr) {
        ASSERT_EQ(chown(home, nobody->pw_uid, nobody->pw_gid) | chown(settings.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        asUser = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    }
    // A run under xvfb-run would hand down its authority file, which nobody may not read.
    auto run = [&](std::vector<std::string> words) {
        words.insert(words.begin(), asUser.begin(), asUser.end());
        words.insert(words.begin(), {"env", "-u", "XAUTHORITY", std::string("HOME=") + home});
        return std::make_unique<Child>(words);
    };
    const std::string alive = "pgrep -f '^" + hack + "' >/dev/null";
    {
        const auto daemon = run({"xscreensaver", "-no-splash"});
        // Asking the time fails, or waits, until the daemon is listening.
        EXPECT_TRUE(WaitUntil([&] { return run({"xscreensaver-command", "-time"})->exitWithin(3000) == 0; }));
        EXPECT_EQ(run({"xscreensaver-command", "-activate"})->exitWithin(), std::optional<int>(0));
        EXPECT_TRUE(WaitUntil([&] { return showsTitle(root); })) << daemon->errors();
        EXPECT_EQ(daemon->errors().find("quorvelin:"), std::string::npos) << daemon->errors();
        EXPECT_EQ(std::system(alive.c_str()), 0);
        EXPECT_EQ(run({"xscreensaver-command", "-deactivate"})->exitWithin(), std::optional<int>(0));
        EXPECT_TRUE(WaitUntil([&] { return std::system(alive.c_str()) != 0; })) << "the hack outlived deactivation";
        run({"xscreensaver-command", "-exit"})->exitWithin();
    }
    std::system(("rm -rf " + std::string(home)).c_str());
}
} // namespace
