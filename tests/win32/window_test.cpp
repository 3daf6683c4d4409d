// The full-screen saver window as the system sees it, what it draws, a second
// start while it runs and the switches it refuses; the same .scr on a display
// without OpenGL; and each mode end to end, the 64-bit twin's short group.
// The last screenshots stay in the work folder (window-title.ppm, window-scene.ppm).
#include <cstdlib>

#include "tests/win32/harness.h"

namespace {
// The title logo's gold letters: strong red, less green, little blue.
bool IsGold(const Rgb& c) { return c.r > 150 && c.g > 80 && c.b < 120 && c.r > c.b + 80; }
// The floor's chequers: grey, neither black nor tinted.
bool IsFloorGrey(const Rgb& c) { return c.r > 60 && std::abs(c.r - c.g) < 24 && std::abs(c.g - c.b) < 24; }
// The model seen through the translucent floor: its gold mixed into the grey.
bool IsReflectionTint(const Rgb& c) { return c.r > 120 && c.g > 100 && c.r > c.b + 40; }
bool IsLit(const Rgb& c) { return c.r > 8 || c.g > 8 || c.b > 8; }
int Size(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

// The intro: the title logo in the middle of the screen, gold on black.
bool TitleShown(const Screenshot& shot)
{
    const RECT logo = shot.area(0.32, 0.42, 0.68, 0.58);
    return shot.count(logo, IsGold) > Size(logo) / 10;
}

// From the third phase on: the floor low on the screen and, below the model,
// its mirror image showing through it.
bool MirroredSceneShown(const Screenshot& shot)
{
    const RECT floorBand = shot.area(0.15, 0.70, 0.85, 0.88);
    return shot.count(floorBand, IsFloorGrey) > Size(floorBand) / 4 &&
           shot.count(shot.area(0.40, 0.70, 0.62, 0.90), IsReflectionTint) > 200;
}

// Polls screenshots until the picture shows, so the probes never depend on
// Wine's frame rate; saves the last one.
bool WaitForPicture(DWORD timeoutMs, bool (*shown)(const Screenshot&), const std::string& path)
{
    Screenshot shot;
    const bool seen = WaitUntil(timeoutMs, [&] {
        PumpFor(200);
        return shown(shot = TakeScreenshot());
    });
    shot.save(path);
    return seen;
}

// Topmost, covering the screen, with the class's style and no pointer.
void WindowProperties(HWND window)
{
    CHECK(GetClassLongA(window, GCL_STYLE) == 0x2B && GetClassLongPtrA(window, GCLP_HCURSOR) == 0);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    CHECK((style & wanted) == wanted && (style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) == 0);
    CHECK((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    RECT outer = {};
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CHECK(GetWindowRect(window, &outer) && EqualRect(&outer, &screen));
    CURSORINFO cursor = {sizeof(CURSORINFO), 0, nullptr, {}};
    CHECK_MSG(GetCursorInfo(&cursor) && (cursor.hCursor == nullptr || (cursor.flags & CURSOR_SHOWING) == 0),
              "the pointer shows over the saver");
}
} // namespace

void RunWindowTests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context.scrPath, saver, start);
    CHECK(window != nullptr);
    WindowProperties(window);
    CHECK_MSG(WaitForPicture(30000, TitleShown, context.workDir + "\\window-title.ppm"),
              "the title logo never appeared in the middle of the screen");
    CHECK_MSG(WaitForPicture(90000, MirroredSceneShown, context.workDir + "\\window-scene.ppm"),
              "the floor with the model's mirror image never appeared");
    // A second full-screen start ends at once with 0 and leaves the first alone in front.
    SaverProcess second;
    second.start(context.scrPath, "/s");
    CHECK_EXIT(second, 0u, "a second start");
    PumpFor(300);
    CHECK_MSG(GetForegroundWindow() == window, "the running saver is not in front");
    CHECK_MSG(FindWindowExA(nullptr, window, SaverClass, nullptr) == nullptr, "a second saver window exists");
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EXIT(saver, 0u, "a key");
    // A gone preview window, an unknown switch or the password-change switch
    // outside the Windows 95 family end the program with -1, leaving no window.
    CHECK(!IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(1234))));
    for (const char* arguments : {"/p 1234", "/l", "/p 18446744073709551616999999", "/x", "/a 1234", "\xe9"}) {
        saver.start(context.scrPath, arguments);
        CHECK_EXIT(saver, 0xFFFFFFFFu, arguments);
    }
    CHECK(FindWindowA(SaverClass, nullptr) == nullptr);
}

// Without OpenGL the saver is a black window that still closes on input.
void RunNoGlTests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context.scrPath, saver, start);
    PumpFor(1500);
    const Screenshot shot = TakeScreenshot();
    CHECK(window != nullptr && shot.width > 0 && shot.count(shot.area(0, 0, 1, 1), IsLit) == 0);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EXIT(saver, 0u, "a key");
}

// Full screen draws and closes on a key, the preview lives in its parent until
// the parent goes, the about box closes with OK.
void RunModeTests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    CHECK(StartFullScreen(context.scrPath, saver, start) != nullptr);
    CHECK_MSG(WaitForPicture(30000, TitleShown, context.workDir + "\\window-title.ppm"), "full screen showed no title");
    SendKey('Q');
    CHECK_EXIT(saver, 0u, "full screen, a key");
    HWND parent = MakeTestWindow("Quorvelin test preview box");
    saver.start(context.scrPath, "/p " + Number(parent));
    CHECK_MSG(WaitForChild(parent) != nullptr, "no preview window");
    DestroyWindow(parent);
    CHECK_EXIT(saver, 0u, "preview, its parent gone");
    saver.start(context.scrPath, "/c");
    PostMessageA(WaitForWindow("#32770", BoxCaption), WM_COMMAND, IDOK, 0);
    CHECK_EXIT(saver, 1u, "about box, OK");
}
