// When the full-screen saver closes, and what it ignores: one table, played in
// order. Cases that must not close share a saver, the pointer put back at its
// start point after each; a case that closes ends its saver, and the next
// starts another with the next spelling of the full-screen switch.
#include "tests/win32/harness.h"

namespace {
template <UINT Message, WPARAM WParam = 0>
void Post(HWND window, POINT)
{
    PostMessageA(window, Message, WParam, 0);
}

void LeftClick(HWND, POINT)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

const struct {
    const char* what;
    bool closes;
    void (*act)(HWND window, POINT start);
} Cases[] = {
    // Movement counts from the pointer's place at the start: 4 pixels in all
    // stay, the 5th closes even as a 1-pixel step after the last message.
    {"2+2 pixels, then elsewhere within 4", false,
     [](HWND window, POINT s) {
         MovePointer(window, s.x + 2, s.y + 2);
         MovePointer(window, s.x - 1, s.y - 3);
         MovePointer(window, s.x, s.y - 4);
     }},
    {"a mouse message with far coordinates but no movement", false,
     [](HWND window, POINT) { PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }},
    {"a new title", false,
     [](HWND window, POINT) {
         CHECK(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")) == 0);
         CHECK(WindowText(window) == SaverTitle);
     }},
    {"window cycling and the saver's own system command", false,
     [](HWND window, POINT) {
         for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE})
             SendMessageA(window, WM_SYSCOMMAND, command, 0);
     }},
    // A timer message that names a callback would have the saver call it.
    {"a timer message naming ExitProcess as its callback", false,
     [](HWND window, POINT) {
         const FARPROC exitProcess = GetProcAddress(GetModuleHandleA("kernel32.dll"), "ExitProcess");
         PostMessageA(window, WM_TIMER, 1, reinterpret_cast<LPARAM>(exitProcess));
     }},
    {"3+2 pixels in small steps", true,
     [](HWND window, POINT s) {
         MovePointer(window, s.x + 2, s.y + 2);
         MovePointer(window, s.x + 3, s.y + 2);
     }},
    {"a key press", true, [](HWND, POINT) { SendKey('Q'); }},
    {"a left click", true, LeftClick},
    {"the right button", true, Post<WM_RBUTTONDOWN>},
    {"the middle button", true, Post<WM_MBUTTONDOWN>},
    {"a system key", true, Post<WM_SYSKEYDOWN>},
    {"a power resume", true, Post<WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC>},
    {"the close command", true, Post<WM_SYSCOMMAND, SC_CLOSE>},
    {"loss of activation", true,
     [](HWND, POINT) {
         HWND other = MakeTestWindow("Quorvelin test other");
         SetForegroundWindow(other);
         PumpFor(300);
         DestroyWindow(other);
     }},
};
} // namespace

void RunClosingTests(const TestContext& context)
{
    const char* spellings[] = {"/s", "-S", "s", " /s"};
    int starts = 0;
    SaverProcess saver;
    POINT start = {};
    HWND window = nullptr;
    for (const auto& c : Cases) {
        if (!saver.running()) {
            const char* spelling = spellings[starts++ % 4];
            window = StartFullScreen(context.scrPath, saver, start, spelling);
            CHECK_MSG(window != nullptr, std::string("no saver window for \"") + spelling + "\"");
        }
        c.act(window, start);
        const DWORD code = saver.waitExit(c.closes ? WaitMs : SettleMs);
        CHECK_MSG(code == (c.closes ? 0 : STILL_ACTIVE), std::string(c.what) + ": exit code " + std::to_string(code));
        SetCursorPos(start.x, start.y);
    }
}
