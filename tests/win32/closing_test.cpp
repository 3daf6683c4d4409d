// When the full-screen saver closes, and what it ignores.
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/test_context.h"

namespace {
const DWORD SettleMs = 700; // long enough for a close request to have ended the saver

// Starts the saver, lets the action act on it, and says whether it ended (with 0) or still runs.
template <typename Action>
void CheckCloses(const TestContext& context, const char* what, bool shouldClose, Action action)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context, saver, start);
    CHECK_MSG(window != nullptr, std::string("no saver window for: ") + what);
    if (window == nullptr)
        return;
    action(window, start);
    DWORD code = saver.waitExit(shouldClose ? WaitMs : SettleMs);
    if (shouldClose)
        CHECK_MSG(code == 0, std::string("did not close with 0 on: ") + what + " (" + std::to_string(code) + ")");
    else
        CHECK_MSG(code == STILL_ACTIVE, std::string("closed on: ") + what);
}

void SendClick(DWORD down, DWORD up)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
}

void InputCloses(const TestContext& context)
{
    // Real input through the system's queue.
    CheckCloses(context, "a key press", true, [](HWND, POINT) { SendKey('Q'); });
    CheckCloses(context, "a left click", true, [](HWND, POINT) { SendClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); });
    // The other buttons and the system keys, as the messages the saver gets.
    for (UINT message : {WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_SYSKEYDOWN})
        CheckCloses(context, ("message " + std::to_string(message)).c_str(), true,
                    [message](HWND window, POINT) { PostMessageA(window, message, 0, 0); });
    CheckCloses(context, "a power resume broadcast", true,
                [](HWND window, POINT) { PostMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0); });
    // Another window taking the foreground takes the activation from the saver.
    CheckCloses(context, "loss of activation", true, [](HWND, POINT) {
        HWND other = MakeTestWindow("Quorvelin test other", 100, 100);
        SetForegroundWindow(other);
        PumpFor(300);
        DestroyWindow(other);
    });
}

// 4 pixels in total from the position at creation stay; the 5th closes, even
// when it comes as a 1-pixel step after the last message.
void MouseThreshold(const TestContext& context)
{
    CheckCloses(context, "a 2+2 pixel movement", false, [](HWND window, POINT start) {
        MovePointer(window, start.x + 2, start.y + 2);
        MovePointer(window, start.x - 1, start.y - 3);
        MovePointer(window, start.x, start.y - 4);
    });
    CheckCloses(context, "a 3+2 pixel movement in small steps", true, [](HWND window, POINT start) {
        MovePointer(window, start.x + 2, start.y + 2);
        MovePointer(window, start.x + 3, start.y + 2);
    });
    // The message's own coordinates are not what counts: the pointer's position is.
    CheckCloses(context, "a mouse message with far coordinates but no movement", false, [](HWND window, POINT) {
        PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        PumpFor(150);
    });
}

// Full screen, the title stays and the window-cycling and saver system commands do nothing.
void IgnoredRequests(const TestContext& context)
{
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context, saver, start);
    CHECK(window != nullptr);
    if (window == nullptr)
        return;
    CHECK(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")) == 0);
    CHECK(WindowText(window) == SaverTitle);
    for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE})
        SendMessageA(window, WM_SYSCOMMAND, command, 0);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "a window-cycling or saver command closed the saver");
    CHECK(FindWindowA(SaverClass, SaverTitle) == window);
    // Other system commands still reach the system: the close command closes.
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
}
} // namespace

void RunClosingTests(const TestContext& context)
{
    InputCloses(context);
    MouseThreshold(context);
    IgnoredRequests(context);
}
