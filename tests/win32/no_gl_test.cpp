// On a display without OpenGL the context cannot be made: the saver still
// runs full screen as a black window and closes on input as usual.
#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/test_context.h"

namespace {
bool IsLit(const Rgb& c) { return c.r > 8 || c.g > 8 || c.b > 8; }
} // namespace

void RunNoGlTests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context, saver, start);
    CHECK(window != nullptr);
    if (window == nullptr)
        return;
    RECT client = {};
    GetClientRect(window, &client);
    CHECK_EQ(GetSystemMetrics(SM_CXSCREEN), client.right);

    // Black, and it stays: no frame, nothing else painted.
    PumpFor(1500);
    ScreenCapture shot;
    CHECK(shot.take());
    RECT screen = {0, 0, shot.width(), shot.height()};
    CHECK_EQ(0, shot.count(screen, IsLit));
    CHECK(saver.running());

    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
}
