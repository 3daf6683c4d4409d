// The real quorvelin program on a private Xvfb display per test: what it
// draws (read back from the X server), how it closes in each mode, and its
// exit statuses. Screenshots of each mode are written to X11_SHOTS_DIR.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <GL/glx.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/offscreen/png_file.h"

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// Fast enough that the 1,300 frames before the steady phase pass in seconds.
const char* const kFastFps = "1000";
// How long a program that should be leaving may take: room for a loaded
// machine; one that stays is still caught.
constexpr int kExitWaitMs = 5000;

void Pause(int ms) { std::this_thread::sleep_for(milliseconds(ms)); }

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto end = Clock::now() + milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (done())
            return true;
        Pause(50);
    }
    return done();
}

// A private X server, so each test starts from an empty screen and tests
// can run side by side. Xvfb picks a free display number and tells it.
class XvfbServer {
public:
    XvfbServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const std::string screen = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            name = ":" + number;
    }
    ~XvfbServer()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    std::string name;
};

// A program run by a test, its stderr kept in a file.
class Child {
public:
    Child(const std::vector<std::string>& command, const std::vector<std::string>& env = {})
    {
        char pattern[] = "/tmp/quorvelin-x11-stderr-XXXXXX";
        const int errFd = mkstemp(pattern);
        errPath = pattern;
        pid = fork();
        if (pid == 0) {
            for (const std::string& setting : env) {
                const std::size_t eq = setting.find('=');
                if (eq == std::string::npos)
                    unsetenv(setting.c_str());
                else
                    setenv(setting.substr(0, eq).c_str(), setting.substr(eq + 1).c_str(), 1);
            }
            dup2(errFd, STDERR_FILENO);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            std::vector<char*> argv;
            for (const std::string& arg : command)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(errFd);
    }
    ~Child()
    {
        if (pid > 0 && !status) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        unlink(errPath.c_str());
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The exit status, once the program has ended by itself within the time.
    std::optional<int> exitWithin(int timeoutMs)
    {
        WaitUntil([this] { return poll(); }, timeoutMs);
        return status;
    }
    bool running() { return !poll(); }
    void signal(int number) { kill(pid, number); }
    std::string errors() const
    {
        std::ifstream file(errPath);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    bool poll()
    {
        if (status)
            return true;
        int raw = 0;
        if (waitpid(pid, &raw, WNOHANG) != pid)
            return false;
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return true;
    }

    pid_t pid = -1;
    std::optional<int> status;
    std::string errPath;
};

// One run of quorvelin with the given arguments.
std::vector<std::string> WithProgram(const std::vector<std::string>& args)
{
    std::vector<std::string> command{QUORVELIN_X11_PROGRAM};
    command.insert(command.end(), args.begin(), args.end());
    return command;
}
class Saver : public Child {
public:
    Saver(const std::vector<std::string>& args, const std::vector<std::string>& env = {})
        : Child(WithProgram(args), env)
    {
    }
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* at(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }

    // Pixels in the box given in fractions of the picture that the test says match.
    int count(double x0, double y0, double x1, double y1, const std::function<bool(const std::uint8_t*)>& match) const
    {
        int n = 0;
        for (int y = static_cast<int>(y0 * height); y < static_cast<int>(y1 * height); ++y)
            for (int x = static_cast<int>(x0 * width); x < static_cast<int>(x1 * width); ++x)
                n += match(at(x, y)) ? 1 : 0;
        return n;
    }
};

// The gold of the title logo and of the model (lit or not): strongly red and
// green, little blue.
bool Gold(const std::uint8_t* p) { return p[0] >= 150 && p[1] >= 100 && p[2] <= 110 && p[0] > p[2] + 80; }
bool NotBlack(const std::uint8_t* p) { return p[0] + p[1] + p[2] > 30; }
// The grey floor with the gold reflection showing through its 20 %: blue
// clearly below red and green, which stay close together.
bool TintedFloor(const std::uint8_t* p)
{
    return p[0] >= 60 && std::abs(p[0] - p[1]) <= 30 && p[2] + 30 <= p[0] && p[2] >= 20;
}
// The bare floor: grey.
bool GreyFloor(const std::uint8_t* p) { return p[0] >= 60 && std::abs(p[0] - p[2]) <= 12 && std::abs(p[1] - p[2]) <= 12; }

class X11Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server.display().c_str(), 1);
        display = XOpenDisplay(server.display().c_str());
        ASSERT_NE(display, nullptr);
        root = DefaultRootWindow(display);
    }
    void TearDown() override
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }

    Image grab(Window window)
    {
        XSync(display, False);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        Image image;
        // Read through the root window, so children drawn over the window count.
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        XImage* shot = XGetImage(display, root, x, y, static_cast<unsigned>(attributes.width),
                                 static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (shot == nullptr)
            return image;
        image.width = attributes.width;
        image.height = attributes.height;
        image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
        for (int row = 0; row < image.height; ++row)
            for (int column = 0; column < image.width; ++column) {
                const unsigned long pixel = XGetPixel(shot, column, row);
                std::uint8_t* out = &image.rgb[(static_cast<std::size_t>(row) * image.width + column) * 3];
                out[0] = static_cast<std::uint8_t>((pixel & shot->red_mask) >> 16);
                out[1] = static_cast<std::uint8_t>((pixel & shot->green_mask) >> 8);
                out[2] = static_cast<std::uint8_t>(pixel & shot->blue_mask);
            }
        XDestroyImage(shot);
        return image;
    }

    static void keep(const Image& image, const char* name)
    {
        WritePng(std::string(X11_SHOTS_DIR) + "/" + name, image.width, image.height, image.rgb);
    }

    // The program's own top-level window, found by its title once mapped.
    Window findSaverWindow(int timeoutMs = 5000)
    {
        Window found = 0;
        WaitUntil(
            [&] {
                Window rootReturn = 0;
                Window parent = 0;
                Window* children = nullptr;
                unsigned int count = 0;
                XQueryTree(display, root, &rootReturn, &parent, &children, &count);
                for (unsigned int i = 0; i < count && found == 0; ++i) {
                    char* name = nullptr;
                    XWindowAttributes attributes{};
                    if (XFetchName(display, children[i], &name) && name != nullptr) {
                        if (std::strcmp(name, "Quorvelin-Saver") == 0
                            && XGetWindowAttributes(display, children[i], &attributes)
                            && attributes.map_state == IsViewable)
                            found = children[i];
                        XFree(name);
                    }
                }
                if (children != nullptr)
                    XFree(children);
                return found != 0;
            },
            timeoutMs);
        return found;
    }

    Window makeWindow(int width, int height, Visual* visual = nullptr, int depth = 0)
    {
        XSetWindowAttributes attributes{};
        attributes.colormap = XCreateColormap(display, root, visual != nullptr ? visual : DefaultVisual(display, 0),
                                              AllocNone);
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        const Window window =
            XCreateWindow(display, root, 20, 30, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                          depth != 0 ? depth : DefaultDepth(display, 0), InputOutput,
                          visual != nullptr ? visual : DefaultVisual(display, 0),
                          CWColormap | CWBackPixel | CWBorderPixel, &attributes);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }

    // The title logo after its fade-in: gold in the middle of the view, where
    // its 2 x 2 quad at distance 5 lands, and nothing above it.
    bool showsTitle(Window window)
    {
        const Image image = grab(window);
        return image.count(0.2, 0.3, 0.8, 0.7, Gold) > 400 && image.count(0.0, 0.0, 1.0, 0.2, NotBlack) == 0;
    }

    // Columns of the title's gold, as fractions of the window's width, and
    // its width in pixels relative to the window's height.
    struct Extent {
        double centre = 0;
        double widthPerHeight = 0;
    };
    Extent titleExtent(const Image& image)
    {
        int left = image.width;
        int right = -1;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (Gold(image.at(x, y))) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        if (right < 0)
            return {};
        return {(left + right + 1) / 2.0 / image.width, static_cast<double>(right - left + 1) / image.height};
    }

    void press(KeySym key)
    {
        const KeyCode code = XKeysymToKeycode(display, key);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
    }
    void movePointer(int x, int y)
    {
        XTestFakeMotionEvent(display, 0, x, y, CurrentTime);
        XSync(display, False);
    }
    void click()
    {
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XSync(display, False);
    }

    XvfbServer server;
    Display* display = nullptr;
    Window root = 0;
};

// Ends the run with SIGTERM, as a daemon does. The wait is generous: it only
// tells a program that leaves from one that stays.
std::optional<int> StopWithSigterm(Saver& saver)
{
    saver.signal(SIGTERM);
    return saver.exitWithin(kExitWaitMs);
}
} // namespace

TEST_F(X11Host, WindowShowsTheTitleAfterItsFadeInAndLaterTheMirroredScene)
{
    Saver saver({"--window", "--fps", kFastFps});
    const Window window = findSaverWindow();
    ASSERT_NE(window, 0u) << "no mapped window titled Quorvelin-Saver";

    ASSERT_TRUE(WaitUntil([&] { return showsTitle(window); }, 20000)) << "the title logo never showed alone";
    keep(grab(window), "x11-window-title.png");

    // The steady phase: the gold model upright in the middle, its reflection
    // tinting the grey floor below it, stars over the whole background.
    Image steady;
    const bool mirrored = WaitUntil(
        [&] {
            steady = grab(window);
            return steady.count(0.4, 0.3, 0.6, 0.6, Gold) > 2000 && steady.count(0.35, 0.72, 0.65, 0.86, TintedFloor) > 300
                   && steady.count(0.0, 0.72, 1.0, 0.86, GreyFloor) > 3000 && steady.count(0.0, 0.0, 1.0, 0.15, NotBlack) > 50;
        },
        40000);
    keep(steady, "x11-window.png");
    ASSERT_TRUE(mirrored) << "no model above a mirror floor; see x11-window.png";

    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    press(XK_Escape);
    EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0)) << saver.errors();
    // No warning: the visual has the stencil bits that clip the reflection to the floor.
    EXPECT_EQ(saver.errors(), "");
}

// Would catch: a hidden window still drawing, so the show runs on unseen (and
// uses the processor), or one that never resumes. The title brightens by
// 0.0025 a frame, so its brightest red tells how far the show got.
TEST_F(X11Host, WindowUnmappedOrCoveredPausesTheShowAndResumesWhereItStopped)
{
    for (const bool unmap : {true, false}) {
        SCOPED_TRACE(unmap ? "unmapped" : "covered");
        Saver saver({"--window", "--fps", "100"});
        const Window window = findSaverWindow();
        ASSERT_NE(window, 0u);
        const auto titleRed = [&] {
            const Image image = grab(window);
            int red = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    red = std::max(red, static_cast<int>(image.at(x, y)[0]));
            return red;
        };
        int before = 0;
        ASSERT_TRUE(WaitUntil([&] { return (before = titleRed()) >= 40; }, 10000));
        const Window cover = XCreateSimpleWindow(display, root, 0, 0, kScreenWidth, kScreenHeight, 0, 0, 0);
        unmap ? XUnmapWindow(display, window) : XMapRaised(display, cover);
        XSync(display, False);
        Pause(3000); // 300 frames, were it drawing: the title would be at full brightness
        unmap ? XMapWindow(display, window) : XUnmapWindow(display, cover);
        XSync(display, False);
        int after = 0;
        ASSERT_TRUE(WaitUntil([&] { return (after = titleRed()) > 0; }, 5000)) << "no frame after the show came back";
        EXPECT_LT(after - before, 40) << "the show ran on while hidden";
        XDestroyWindow(display, cover);
    }
}

TEST_F(X11Host, WindowClosesOnQAndTheCloseButtonButNotOnOtherKeys)
{
    {
        Saver saver({"--fps", "200"});
        const Window window = findSaverWindow();
        ASSERT_NE(window, 0u);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        press(XK_a);
        click();
        Pause(400);
        EXPECT_TRUE(saver.running()) << "a window closed on a key other than Escape or q";
        press(XK_q);
        EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0));
    }
    {
        Saver saver({"--window"});
        const Window window = findSaverWindow();
        ASSERT_NE(window, 0u);
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = window;
        close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        close.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &close);
        XSync(display, False);
        EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0)) << "the window manager's close button did not close it";
    }
}

TEST_F(X11Host, FullscreenHidesThePointerAndClosesOnKeyClickOrMovementOverFourPixels)
{
    // One run per way of closing. The pointer starts at (300, 200) each time.
    enum class Closer { Key, Click, Movement };
    for (Closer closer : {Closer::Key, Closer::Click, Closer::Movement}) {
        SCOPED_TRACE(static_cast<int>(closer));
        movePointer(300, 200);
        Saver saver({"--fullscreen", "--fps", "200"});
        const Window window = findSaverWindow();
        ASSERT_NE(window, 0u);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        EXPECT_EQ(attributes.width, kScreenWidth);
        EXPECT_EQ(attributes.height, kScreenHeight);
        // Drawing starts after the grabs and the start position are in place.
        ASSERT_TRUE(WaitUntil([&] { return grab(window).count(0.3, 0.3, 0.7, 0.7, NotBlack) > 0; }, 10000));

        if (closer == Closer::Key) {
            XFixesCursorImage* cursor = XFixesGetCursorImage(display);
            ASSERT_NE(cursor, nullptr);
            int visible = 0;
            for (unsigned long i = 0; i < static_cast<unsigned long>(cursor->width) * cursor->height; ++i)
                visible += (cursor->pixels[i] >> 24) != 0 ? 1 : 0;
            XFree(cursor);
            EXPECT_EQ(visible, 0) << "the pointer shows over the full-screen show";
            ASSERT_TRUE(WaitUntil([&] { return showsTitle(window); }, 20000));
            keep(grab(window), "x11-fullscreen.png");
            press(XK_space);
        } else if (closer == Closer::Click) {
            click();
        } else {
            movePointer(302, 202); // 4 pixels in total: stays
            Pause(300);
            movePointer(299, 199); // 2 pixels from the start: still stays
            Pause(300);
            EXPECT_TRUE(saver.running()) << "closed on a movement of 4 pixels";
            movePointer(303, 202); // 5 pixels from the start
        }
        EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0));
        EXPECT_EQ(saver.errors(), "");
    }
}

TEST_F(X11Host, WindowIdDrawsThereFollowsItsSizeIgnoresInputAndEndsOnSigterm)
{
    const Window window = makeWindow(400, 300);
    std::ostringstream id;
    id << "0x" << std::hex << window;
    // Slow enough that the title is alone for two seconds after it shows.
    Saver saver({"-window-id", id.str(), "--fps", "150"});
    ASSERT_TRUE(WaitUntil([&] { return showsTitle(window); }, 10000)) << saver.errors();
    const Image before = grab(window);
    keep(before, "x11-window-id.png");
    const Extent first = titleExtent(before);
    EXPECT_NEAR(first.centre, 0.5, 0.03);

    // Input belongs to the window's owner.
    movePointer(200, 200);
    click();
    press(XK_Escape);

    XResizeWindow(display, window, 640, 240);
    XSync(display, False);
    Image after;
    ASSERT_TRUE(WaitUntil(
        [&] {
            after = grab(window);
            const Extent now = titleExtent(after);
            return after.width == 640 && std::abs(now.centre - 0.5) < 0.03
                   && std::abs(now.widthPerHeight - first.widthPerHeight) < 0.08 * first.widthPerHeight;
        },
        3000))
        << "the logo did not stay centred at its size relative to the height after a resize";
    keep(after, "x11-window-id-resized.png");
    EXPECT_TRUE(saver.running()) << "input to the window's owner ended the show";

    EXPECT_EQ(StopWithSigterm(saver), std::optional<int>(0));
    EXPECT_EQ(saver.errors(), "");
}

TEST_F(X11Host, WindowIdWithoutStencilOrDoubleBufferGetsAChildWindowThatFitsTheShow)
{
    // Visuals that the server offers for OpenGL but that lack what the show asks for.
    XVisualInfo wanted{};
    wanted.screen = 0;
    int count = 0;
    XVisualInfo* visuals = XGetVisualInfo(display, VisualScreenMask, &wanted, &count);
    XVisualInfo* noStencil = nullptr;
    XVisualInfo* singleBuffered = nullptr;
    for (int i = 0; i < count; ++i) {
        int gl = 0, rgba = 0, doubled = 0, depth = 0, stencil = 0;
        glXGetConfig(display, &visuals[i], GLX_USE_GL, &gl);
        glXGetConfig(display, &visuals[i], GLX_RGBA, &rgba);
        glXGetConfig(display, &visuals[i], GLX_DOUBLEBUFFER, &doubled);
        glXGetConfig(display, &visuals[i], GLX_DEPTH_SIZE, &depth);
        glXGetConfig(display, &visuals[i], GLX_STENCIL_SIZE, &stencil);
        if (!gl || !rgba || visuals[i].depth != 24)
            continue;
        if (noStencil == nullptr && doubled && depth >= 16 && stencil == 0)
            noStencil = &visuals[i];
        if (singleBuffered == nullptr && !doubled)
            singleBuffered = &visuals[i];
    }
    ASSERT_NE(noStencil, nullptr) << "Xvfb offers no double-buffered visual without stencil";
    ASSERT_NE(singleBuffered, nullptr) << "Xvfb offers no single-buffered visual";

    auto children = [&](Window window) {
        Window rootReturn = 0, parent = 0;
        Window* list = nullptr;
        unsigned int n = 0;
        XQueryTree(display, window, &rootReturn, &parent, &list, &n);
        std::vector<Window> result(list, list + n);
        if (list != nullptr)
            XFree(list);
        return result;
    };
    auto sizeOf = [&](Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        return std::make_pair(attributes.width, attributes.height);
    };

    for (XVisualInfo* visual : {noStencil, singleBuffered}) {
        SCOPED_TRACE(visual == noStencil ? "no stencil" : "single-buffered");
        const Window window = makeWindow(320, 240, visual->visual, visual->depth);
        Saver saver({"--window-id", std::to_string(window), "--fps", "200"});
        EXPECT_TRUE(WaitUntil([&] { return showsTitle(window); }, 10000)) << saver.errors();
        // No warning: the child has the stencil that clips the mirror.
        EXPECT_EQ(saver.errors(), "");
        const std::vector<Window> inside = children(window);
        ASSERT_EQ(inside.size(), 1u) << "the show did not get a window of its own inside";
        XResizeWindow(display, window, 400, 180);
        XSync(display, False);
        EXPECT_TRUE(WaitUntil([&] { return sizeOf(inside[0]) == std::make_pair(400, 180); }, 2000))
            << "the child did not follow its parent's size";
        // The owner destroying its window ends the show quietly.
        XDestroyWindow(display, window);
        XSync(display, False);
        EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0));
    }
    XFree(visuals);
}

TEST_F(X11Host, RootDrawsOnTheRootWindowOrOnTheDaemonsWindow)
{
    {
        Saver saver({"--root", "--fps", "200"});
        ASSERT_TRUE(WaitUntil([&] { return showsTitle(root); }, 10000)) << saver.errors();
        keep(grab(root), "x11-root.png");
        saver.signal(SIGINT);
        EXPECT_EQ(saver.exitWithin(kExitWaitMs), std::optional<int>(0));
    }
    XClearWindow(display, root);
    const Window window = makeWindow(300, 200);
    Saver saver({"-root", "--fps", "200"}, {"XSCREENSAVER_WINDOW=" + std::to_string(window)});
    ASSERT_TRUE(WaitUntil([&] { return showsTitle(window); }, 10000)) << saver.errors();
    // The daemon's window only: the rest of the root stays black.
    EXPECT_EQ(grab(root).count(0.5, 0.5, 1.0, 1.0, NotBlack), 0);
    EXPECT_EQ(StopWithSigterm(saver), std::optional<int>(0));
}

TEST_F(X11Host, BadCommandLinesAndMissingDisplaysGiveTheirStatusAndOneLine)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> env;
        int status;
    };
    const std::vector<Case> cases = {
        {{"--frobnicate"}, {}, 2},
        {{"--window-id"}, {}, 2},
        {{"--window-id", "0x12zz"}, {}, 2},
        {{"--window-id", "0x1ffffff0"}, {}, 2}, // well formed, but no such window
        {{"--root"}, {"XSCREENSAVER_WINDOW=junk"}, 2},
        {{"--fps", "0"}, {}, 2},
        {{}, {"DISPLAY"}, 1},
        {{"--root"}, {"DISPLAY=:9999"}, 1},
    };
    for (const Case& c : cases) {
        Saver saver(c.args, c.env);
        const std::optional<int> status = saver.exitWithin(5000);
        const std::string errors = saver.errors();
        EXPECT_EQ(status, std::optional<int>(c.status)) << (c.args.empty() ? c.env[0] : c.args[0]) << ": " << errors;
        EXPECT_EQ(errors.rfind("quorvelin: ", 0), 0u) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
    Saver help({"--help"});
    EXPECT_EQ(help.exitWithin(kExitWaitMs), std::optional<int>(0));
    EXPECT_EQ(help.errors(), "");
}

namespace {
bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

// Live quorvelin processes on the given display (zombies do not count).
// Daemons name the screen too (":1.0").
std::vector<pid_t> SaversOn(const std::string& display)
{
    std::vector<pid_t> found;
    DIR* processes = opendir("/proc");
    if (processes == nullptr)
        return found;
    while (const dirent* entry = readdir(processes)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0)
            continue;
        const std::string proc = std::string("/proc/") + entry->d_name;
        char exe[4096];
        const ssize_t size = readlink((proc + "/exe").c_str(), exe, sizeof exe);
        if (size <= 0 || std::string(exe, static_cast<std::size_t>(size)) != QUORVELIN_X11_PROGRAM)
            continue;
        std::ifstream environ(proc + "/environ", std::ios::binary);
        std::string setting;
        bool here = false;
        while (std::getline(environ, setting, '\0'))
            here = here || setting == "DISPLAY=" + display || setting.rfind("DISPLAY=" + display + ".", 0) == 0;
        std::ifstream stat(proc + "/stat");
        const std::string statText((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const std::size_t close = statText.rfind(')');
        const bool zombie = close != std::string::npos && close + 2 < statText.size() && statText[close + 2] == 'Z';
        if (here && !zombie)
            found.push_back(pid);
    }
    closedir(processes);
    return found;
}
} // namespace

// The real screen-saver daemon with this program as its only hack: shown
// on activation, stopped on deactivation. The daemon starts no hacks as
// root, so under root it runs as nobody.
TEST_F(X11Host, TheDaemonRunsItAsItsOnlyHackAndStopsIt)
{
    if (!OnPath("xscreensaver") || !OnPath("xscreensaver-command"))
        GTEST_SKIP() << "the xscreensaver package is not installed";
    std::vector<std::string> asUser;
    char home[] = "/tmp/quorvelin-x11-daemon-XXXXXX";
    ASSERT_NE(mkdtemp(home), nullptr);
    const std::string settings = std::string(home) + "/.xscreensaver";
    {
        std::ofstream file(settings);
        file << "timeout: 1:00:00\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
             << "mode: one\nselected: 0\n"
             << "programs: GL: " << QUORVELIN_X11_PROGRAM << " --root --fps 200 \\n\n";
    }
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(chown(home, nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_EQ(chown(settings.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        asUser = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    }
    const std::vector<std::string> env{std::string("HOME=") + home};
    auto command = [&](std::vector<std::string> words) {
        std::vector<std::string> line = asUser;
        line.insert(line.end(), words.begin(), words.end());
        return line;
    };

    {
        Child daemon(command({"xscreensaver", "-no-splash", "-verbose"}), env);
        // The command fails until the daemon is listening.
        EXPECT_TRUE(WaitUntil([&] { return Child(command({"xscreensaver-command", "-activate"}), env).exitWithin(3000) == 0; },
                              10000))
            << daemon.errors();
        const bool shown = WaitUntil([&] { return showsTitle(root); }, 20000);
        keep(grab(root), "x11-daemon.png");
        EXPECT_TRUE(shown) << "activation did not show the title; daemon said:\n" << daemon.errors();
        EXPECT_EQ(SaversOn(server.display()).size(), 1u);
        // Whatever visual the daemon gave its window, the mirror is clipped.
        EXPECT_EQ(daemon.errors().find("quorvelin: warning"), std::string::npos) << daemon.errors();

        EXPECT_EQ(Child(command({"xscreensaver-command", "-deactivate"}), env).exitWithin(3000), std::optional<int>(0));
        EXPECT_TRUE(WaitUntil([&] { return SaversOn(server.display()).empty(); }, 3000))
            << "the hack outlived deactivation";
        Child(command({"xscreensaver-command", "-exit"}), env).exitWithin(3000);
        daemon.exitWithin(3000);
    }
    unlink(settings.c_str());
    rmdir(home);
}
