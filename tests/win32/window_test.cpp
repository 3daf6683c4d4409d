// The full-screen saver window as the system sees it, what it draws, and a
// second start while it runs.
#include <cstdlib>
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/test_context.h"

namespace {
// A rectangle given in fractions of the screen, so the probes follow its size.
RECT ScreenArea(const ScreenCapture& shot, double left, double top, double right, double bottom)
{
    return RECT{static_cast<LONG>(left * shot.width()), static_cast<LONG>(top * shot.height()),
                static_cast<LONG>(right * shot.width()), static_cast<LONG>(bottom * shot.height())};
}

// The title logo's gold letters: strong red, less green, little blue.
bool IsGold(const Rgb& c) { return c.r > 150 && c.g > 80 && c.b < 120 && c.r > c.b + 80; }
// The floor's chequers: grey, neither black nor tinted.
bool IsFloorGrey(const Rgb& c)
{
    return c.r > 60 && std::abs(c.r - c.g) < 24 && std::abs(c.g - c.b) < 24;
}
// The model seen through the translucent floor: its gold mixed into the grey.
bool IsReflectionTint(const Rgb& c) { return c.r > 120 && c.g > 100 && c.r > c.b + 40; }

// Polls screenshots until the test holds, so the probes never depend on Wine's frame rate.
bool WaitForPicture(ScreenCapture& shot, DWORD timeoutMs, bool (*test)(const ScreenCapture&))
{
    DWORD start = GetTickCount();
    do {
        if (shot.take() && test(shot))
            return true;
        PumpFor(250);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

// The intro: the title logo in the middle of the screen, gold on black.
bool TitleShown(const ScreenCapture& shot)
{
    RECT logo = ScreenArea(shot, 0.32, 0.42, 0.68, 0.58);
    int area = (logo.right - logo.left) * (logo.bottom - logo.top);
    return shot.count(logo, IsGold) > area / 10;
}

// From the third phase on: a floor in the lower part of the screen, the model's
// mirror image showing through it below the model, and the corners dark but starry.
bool MirroredSceneShown(const ScreenCapture& shot)
{
    RECT floorBand = ScreenArea(shot, 0.15, 0.70, 0.85, 0.88);
    RECT belowModel = ScreenArea(shot, 0.40, 0.70, 0.62, 0.90);
    int bandArea = (floorBand.right - floorBand.left) * (floorBand.bottom - floorBand.top);
    return shot.count(floorBand, IsFloorGrey) > bandArea / 4 && shot.count(belowModel, IsReflectionTint) > 200;
}

void WindowProperties(HWND window)
{
    CHECK(ClassName(window) == SaverClass);
    CHECK(WindowText(window) == SaverTitle);
    CHECK_EQ(0x2Bu, static_cast<unsigned>(GetClassLongA(window, GCL_STYLE)));
    CHECK(GetClassLongPtrA(window, GCLP_HCURSOR) == 0);
    // (Wine does not report another process's class brush; the pictures below show the black.)

    LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    CHECK((style & wanted) == wanted);
    CHECK((style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) == 0);
    CHECK((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);

    RECT client = {};
    GetClientRect(window, &client);
    CHECK_EQ(GetSystemMetrics(SM_CXSCREEN), client.right);
    CHECK_EQ(GetSystemMetrics(SM_CYSCREEN), client.bottom);
    RECT outer = {};
    GetWindowRect(window, &outer);
    CHECK(outer.left == 0 && outer.top == 0);

    // The pointer is hidden over the saver.
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof(cursor);
    CHECK(GetCursorInfo(&cursor));
    CHECK_MSG(cursor.hCursor == nullptr || (cursor.flags & CURSOR_SHOWING) == 0, "the pointer is visible over the saver");
}

// A second full-screen start ends at once with 0 and leaves the first in front.
// (Putting another window in front first would rightly close the first saver.)
void SecondStart(const TestContext& context, HWND first)
{
    SaverProcess second;
    CHECK(second.start(context.scrPath, "/s"));
    CHECK_EQ(0u, second.waitExit(WaitMs));
    PumpFor(300);
    CHECK(IsWindow(first));
    CHECK_MSG(GetForegroundWindow() == first, "the running saver is not in front");
    // Only one saver window exists.
    CHECK(FindWindowExA(nullptr, first, SaverClass, nullptr) == nullptr);
}
} // namespace

void RunWindowTests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context, saver, start);
    CHECK(window != nullptr);
    if (window == nullptr)
        return;
    WindowProperties(window);

    ScreenCapture shot;
    CHECK_MSG(WaitForPicture(shot, 30000, TitleShown), "the title logo never appeared in the middle of the screen");
    shot.saveBmp(context.workDir + "\\wine-title.bmp");
    CHECK_MSG(WaitForPicture(shot, 90000, MirroredSceneShown), "the floor with the model's mirror image never appeared");
    shot.saveBmp(context.workDir + "\\wine-fullscreen.bmp");

    SecondStart(context, window);
    CHECK(saver.running());
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
}
