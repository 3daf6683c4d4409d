// A storm of hostile messages on the running .scr, as another program on the
// desktop could send them: half sent (each must be answered within 5 s), half
// posted, from a fixed seed, so the storm is the same on every run.
// Preview and full screen: each named system command but SC_CLOSE before each
// slice, then random timers (some naming a bogus callback), paint, sizes,
// titles, system commands, activation, help, context menus and
// notifications; the preview also input and the loss of activation, which
// rightly close a full-screen saver. Each survives, answers, keeps its title,
// stays visible, does not grow, and still ends as it should: the preview with
// its parent, full screen on a real key. A system command that sized, moved or
// minimised the window, or ran a menu loop in it, shows here as a hidden or a
// deaf saver or as unanswered messages.
// (The legacy group storms a password check.)
#include <algorithm>
#include <cstdio>

#include "tests/win32/harness.h"
// After windows.h, which harness.h brings.
#include <psapi.h>

namespace {
const UINT ReplyMs = 5000;
const int Messages = 12000;
const int Slices = 12;
// How far committed memory may wander between the medians below (seen: up to
// 1.5 MiB; single readings move up to 3 MiB and back with Wine's and the GL
// driver's heaps). A planted leak of 8 KiB a frame grew the saver by 9 MiB.
// Wine answers GetGuiResources with 0: committed memory speaks for GDI and GL
// objects too.
const SIZE_T MemorySlackBytes = 4u << 20;
const WPARAM NamedCommands[] = {SC_SIZE,     SC_MOVE,       SC_MINIMIZE,  SC_MAXIMIZE,  SC_NEXTWINDOW,   SC_PREVWINDOW,
                                SC_VSCROLL,  SC_HSCROLL,    SC_MOUSEMENU, SC_KEYMENU,   SC_ARRANGE,      SC_RESTORE,
                                SC_TASKLIST, SC_SCREENSAVE, SC_HOTKEY,    SC_DEFAULT,   SC_SEPARATOR,    SC_MONITORPOWER,
                                SC_CONTEXTHELP};

unsigned Seed = 20261206u;
unsigned Random(unsigned below)
{
    Seed = Seed * 1664525u + 1013904223u;
    return (Seed >> 8) % below;
}
LPARAM RandomLParam()
{
    return static_cast<LPARAM>((static_cast<unsigned long long>(Random(1u << 24)) << 24) ^ Random(1u << 24));
}

// A named command or a random value, never a disguised SC_CLOSE (the system reads the top 12 bits).
WPARAM RandomSystemCommand()
{
    WPARAM command = Random(2) == 0 ? NamedCommands[Random(sizeof(NamedCommands) / sizeof(WPARAM))] : SC_CLOSE;
    while ((command & 0xFFF0) == SC_CLOSE)
        command = Random(0x10000);
    return command;
}

struct Storm {
    HWND window;
    int sent = 0;
    int posted = 0;
    int unanswered = 0;

    void deliver(UINT message, WPARAM wParam, LPARAM lParam, bool mayPost = true)
    {
        DWORD_PTR result = 0;
        if (mayPost && Random(2) == 0)
            posted += PostMessageA(window, message, wParam, lParam) ? 1 : 0;
        else if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, ReplyMs, &result) != 0)
            ++sent;
        else if (GetLastError() == ERROR_TIMEOUT && IsWindow(window)) {
            ++unanswered;
            std::printf("no answer within %u ms: message 0x%04x\n", ReplyMs, message);
        }
    }
    // Kinds 0 to 8 suit both modes; 9 and 10 (input, loss of activation) the preview only.
    void one(bool preview)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "storm %06x", Random(1u << 24));
        HELPINFO help = {sizeof(HELPINFO), HELPINFO_WINDOW, 0, window, 0, {LONG(Random(2000)), LONG(Random(2000))}};
        switch (Random(preview ? 11 : 9)) {
        case 0: return deliver(WM_TIMER, Random(1u << 24), Random(8) == 0 ? RandomLParam() : 0);
        case 1: return deliver(WM_PAINT, 0, 0);
        case 2: return deliver(WM_SIZE, Random(5), MAKELPARAM(Random(0x10000), Random(0x10000)));
        // Text and help travel with their message only when it is sent.
        case 3: return deliver(WM_SETTEXT, 0, Random(4) == 0 ? 0 : reinterpret_cast<LPARAM>(text), false);
        case 4: return deliver(WM_HELP, 0, reinterpret_cast<LPARAM>(&help), false);
        case 5: return deliver(WM_SYSCOMMAND, RandomSystemCommand(), RandomLParam());
        case 6: return deliver(WM_ACTIVATEAPP, TRUE, Random(1u << 24));
        case 7: return deliver(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), RandomLParam());
        case 8: return deliver(Random(2) == 0 ? WM_SHOWWINDOW : WM_SETCURSOR, Random(2), RandomLParam());
        case 9: // any key or mouse message
            return deliver(Random(2) == 0 ? WM_KEYFIRST + Random(WM_KEYLAST - WM_KEYFIRST + 1)
                                          : WM_MOUSEFIRST + Random(WM_MOUSELAST - WM_MOUSEFIRST + 1),
                           Random(0x10000), RandomLParam());
        default: return deliver(WM_ACTIVATEAPP, FALSE, Random(1u << 24));
        }
    }
};

SIZE_T Committed(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS memory = {sizeof(memory), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    return GetProcessMemoryInfo(process, &memory, sizeof(memory)) ? memory.PagefileUsage : 0;
}

SIZE_T Median(const SIZE_T* r) { return std::max(std::min(r[0], r[1]), std::min(std::max(r[0], r[1]), r[2])); }

int ContextMenusAtParent = 0;

// The preview's parent, as a settings page would be: it takes the forwarded
// requests and never opens a menu or a move loop of its own.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ContextMenusAtParent += message == WM_CONTEXTMENU ? 1 : 0;
    if (message == WM_HELP || message == WM_CONTEXTMENU || message == WM_SYSCOMMAND)
        return TRUE;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The intro is played through first (every timer message draws a frame): only
// then is the saver's memory its own, the GL driver having made what each
// phase needs. A leak grows with every slice, while Wine's and the driver's
// heaps only wander, so the median of the three readings around half-way is
// set against the median of the last three: one reading at a peak decides nothing.
void ModeStorm(const TestContext& context, bool preview)
{
    HWND parent = preview ? MakeTestWindow("Quorvelin storm parent", ParentProc) : nullptr;
    SaverProcess saver;
    POINT start;
    HWND window = preview ? (saver.start(context.scrPath, "/p " + Number(parent)), WaitForChild(parent))
                          : StartFullScreen(context.scrPath, saver, start);
    const std::string title = WindowText(window);
    for (int frame = 0; frame < 2000 && IsWindow(window); ++frame)
        SendMessageTimeoutA(window, WM_TIMER, 1, 0, SMTO_NORMAL, ReplyMs, nullptr);
    Storm storm{window};
    SIZE_T readings[Slices] = {};
    for (SIZE_T& reading : readings) {
        for (WPARAM command : NamedCommands)
            storm.deliver(WM_SYSCOMMAND, command, 0, false);
        for (int i = 0; i < Messages / Slices && IsWindow(window); ++i) {
            storm.one(preview);
            if (i % 64 == 0) // keeps this program's own queue (the preview's parent) drained
                PumpFor(0);
        }
        PumpFor(1000);
        reading = Committed(saver.handle());
    }
    std::printf("%s storm: %d sent, %d posted, %d unanswered; committed %lu KiB half-way, %lu KiB at the end\n",
                title.c_str(), storm.sent, storm.posted, storm.unanswered,
                static_cast<unsigned long>(Median(readings + Slices / 2 - 2) / 1024),
                static_cast<unsigned long>(Median(readings + Slices - 3) / 1024));
    CHECK_MSG(saver.running() && IsWindowVisible(window) && !IsIconic(window), "the saver did not survive, or hid");
    CHECK_MSG(storm.unanswered == 0 && storm.sent + storm.posted >= Messages * 9 / 10, "the storm went unanswered");
    CHECK_MSG(!title.empty() && WindowText(window) == title, "the saver's title changed: " + WindowText(window));
    CHECK_MSG(Median(readings + Slices / 2 - 2) > 0 &&
                  Median(readings + Slices - 3) <= Median(readings + Slices / 2 - 2) + MemorySlackBytes,
              "the saver grew during the storm");
    if (preview) {
        CHECK_MSG(ContextMenusAtParent > 0, "no context menu request reached the preview's parent");
        DestroyWindow(parent);
    } else {
        SetForegroundWindow(window);
        PumpFor(300);
        SendKey(VK_SHIFT);
    }
    CHECK_EXIT(saver, 0u, title + " after the storm");
}

} // namespace

void RunStormTests(const TestContext& context)
{
    ModeStorm(context, true);
    ModeStorm(context, false);
}
