// A storm of hostile messages on the running .scr, sent by this program the
// way another program on the desktop could:
//   storm_tests SCR WORK_DIR PASSWORD_MODULE [MESSAGES]   (default 12,000 per storm)
// Preview: timers, paint, size, text, system commands, activation gained and
// lost, help, context menus, mouse and keys with random parameters; the
// preview must stay, forward its context-menu requests to the parent, and
// still end when the parent goes away.
// Full screen: all but what rightly closes a saver (input, loss of
// activation, WM_CLOSE, SC_CLOSE); afterwards a real key press must close it.
// Both: no crash, no hang (each sent message must come back within 5 s), the
// title unchanged, and no growth of the saver's GDI and USER objects or memory.
// Legacy platform with a password in use: close requests, input and loss of
// activation pour in while a password check is under way; no second check
// may start, and once a check accepts, the saver closes.
// Messages go out half sent, half posted, from a fixed seed: the same storm
// on every run.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"

namespace {
const char SaverClass[] = "WindowsScreenSaverClass";
const DWORD WaitMs = 15000;
const UINT ReplyMs = 5000;
// How far committed memory may wander over the storm's second half (seen: up
// to 3 MiB between two single readings, 1.5 MiB between medians). A frame
// that leaked 8 KiB, or a message that leaked 1 KiB, goes well past it (a
// planted 8 KiB leak per frame grew the saver by 9 MiB there).
const SIZE_T MemorySlackBytes = 4u << 20;
const int StormSlices = 12;

// A fixed-seed generator of our own, so a storm is the same on every run and
// every C library.
unsigned Seed = 20261206u;
unsigned Random()
{
    Seed = Seed * 1664525u + 1013904223u;
    return Seed >> 8;
}
unsigned Random(unsigned below) { return Random() % below; }
LPARAM RandomLParam() { return static_cast<LPARAM>((static_cast<unsigned long long>(Random()) << 24) ^ Random()); }

int ContextMenuAtParent = 0;

// The preview's parent, as a settings page would be: it takes the forwarded
// help requests and never opens a menu or a move loop of its own.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP:
        return TRUE;
    case WM_CONTEXTMENU:
        ++ContextMenuAtParent;
        return 0;
    case WM_SYSCOMMAND:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MakeParent()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "QuorvelinStormParent";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Storm parent", WS_POPUP | WS_VISIBLE, 40, 40, 320,
                                  240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    PumpFor(100);
    return window;
}

struct Usage {
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T committedBytes = 0;
    bool known = false;
};

Usage UsageOf(HANDLE process)
{
    Usage usage;
    usage.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    usage.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    usage.known = GetProcessMemoryInfo(process, &memory, sizeof(memory)) != 0;
    usage.committedBytes = memory.PagefileUsage;
    return usage;
}

// Every timer message draws a frame, so this plays the intro through into the
// steady state at once. Only then is the saver's memory its own: the GL
// driver compiles and keeps what each new phase needs on its way there.
void WarmUp(HWND window)
{
    for (int frame = 0; frame < 2000 && IsWindow(window); ++frame) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_TIMER, 1, 0, SMTO_NORMAL, ReplyMs, &result);
    }
    PumpFor(200);
}

HANDLE OpenSaverProcess(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
}

// Every named system command but SC_CLOSE, which rightly closes any window.
const WPARAM NamedCommands[] = {SC_SIZE,       SC_MOVE,     SC_MINIMIZE,     SC_MAXIMIZE,    SC_NEXTWINDOW,
                                SC_PREVWINDOW, SC_VSCROLL,  SC_HSCROLL,      SC_MOUSEMENU,   SC_KEYMENU,
                                SC_ARRANGE,    SC_RESTORE,  SC_TASKLIST,     SC_SCREENSAVE,  SC_HOTKEY,
                                SC_DEFAULT,    SC_SEPARATOR, SC_MONITORPOWER, SC_CONTEXTHELP};

// Named commands and random values (never a disguised SC_CLOSE: the system
// looks at the top 12 bits only).
WPARAM RandomSystemCommand()
{
    if (Random(2) == 0)
        return NamedCommands[Random(sizeof(NamedCommands) / sizeof(NamedCommands[0]))];
    WPARAM command;
    do
        command = Random(0x10000);
    while ((command & 0xFFF0) == SC_CLOSE);
    return command;
}

struct Storm {
    HWND window;
    bool preview;
    int sent = 0;
    int posted = 0;
    int unanswered = 0;
};

// Sends or posts one message; sent ones must come back within ReplyMs.
void Deliver(Storm& storm, UINT message, WPARAM wParam, LPARAM lParam, bool mayPost = true)
{
    if (mayPost && Random(2) == 0) {
        storm.posted += PostMessageA(storm.window, message, wParam, lParam) ? 1 : 0;
        return;
    }
    DWORD_PTR result = 0;
    SetLastError(0);
    if (SendMessageTimeoutA(storm.window, message, wParam, lParam, SMTO_NORMAL, ReplyMs, &result) != 0)
        ++storm.sent;
    else if (GetLastError() == ERROR_TIMEOUT && IsWindow(storm.window)) {
        ++storm.unanswered;
        std::printf("no answer within %u ms: message 0x%04x, wParam 0x%llx, lParam 0x%llx\n", ReplyMs, message,
                    static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    }
}

void OneMessage(Storm& storm)
{
    const int kinds = storm.preview ? 12 : 9;
    switch (Random(kinds)) {
    case 0: // a timer that nobody set; now and then with a bogus callback address
        Deliver(storm, WM_TIMER, Random(), Random(8) == 0 ? RandomLParam() : 0);
        break;
    case 1:
        Deliver(storm, WM_PAINT, 0, 0);
        break;
    case 2:
        Deliver(storm, WM_SIZE, Random(5), MAKELPARAM(Random(0x10000), Random(0x10000)));
        break;
    case 3: { // text travels with the message only when it is sent
        char text[40];
        std::snprintf(text, sizeof(text), "storm %08x", Random());
        Deliver(storm, WM_SETTEXT, 0, Random(4) == 0 ? 0 : reinterpret_cast<LPARAM>(text), false);
        break;
    }
    case 4:
        Deliver(storm, WM_SYSCOMMAND, RandomSystemCommand(), RandomLParam());
        break;
    case 5:
        Deliver(storm, WM_ACTIVATEAPP, TRUE, Random());
        break;
    case 6: {
        HELPINFO help = {};
        help.cbSize = sizeof(help);
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = storm.window;
        help.MousePos.x = static_cast<LONG>(Random(2000));
        help.MousePos.y = static_cast<LONG>(Random(2000));
        Deliver(storm, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), false);
        break;
    }
    case 7:
        Deliver(storm, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(storm.window), RandomLParam());
        break;
    case 8: // harmless notifications a desktop sends anyway
        Deliver(storm, Random(2) == 0 ? WM_SHOWWINDOW : WM_SETCURSOR, Random(2) == 0 ? TRUE : 0, RandomLParam());
        break;
    // Preview only from here: input and the loss of activation close a full-screen saver.
    case 9: {
        static const UINT mouse[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONDOWN,
                                     WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP,   WM_LBUTTONDBLCLK,
                                     WM_MOUSEWHEEL,  WM_RBUTTONDBLCLK};
        Deliver(storm, mouse[Random(sizeof(mouse) / sizeof(mouse[0]))], Random(0x10000), RandomLParam());
        break;
    }
    case 10: {
        static const UINT keys[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR};
        Deliver(storm, keys[Random(sizeof(keys) / sizeof(keys[0]))], Random(0x100), RandomLParam());
        break;
    }
    default:
        Deliver(storm, WM_ACTIVATEAPP, FALSE, Random());
        break;
    }
}

void RunStorm(Storm& storm, int messages)
{
    // Each named system command once, sent, then the random storm. A command
    // that moved, sized or minimised the window, or started a menu or sizing
    // loop in it, would show below: a saver hidden, deaf to the closing key,
    // or a preview that no longer ends with its parent.
    for (WPARAM command : NamedCommands)
        Deliver(storm, WM_SYSCOMMAND, command, 0, false);
    for (int i = 0; i < messages && IsWindow(storm.window); ++i) {
        OneMessage(storm);
        // Keep this program's own queue (the preview's parent) drained.
        if (i % 64 == 0)
            PumpFor(0);
    }
    PumpFor(1000);
}

SIZE_T MedianOfThree(SIZE_T a, SIZE_T b, SIZE_T c)
{
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

// Committed memory after each slice of the storm. The first half lets the
// system's own heaps settle; from then on a leak grows with every slice,
// while Wine's and the GL driver's heaps only wander (single readings a
// megabyte up and back, slow steps of a few hundred KiB). So the median of
// the readings around half-way is set against the median of the last three:
// one reading caught at a peak decides nothing.
struct Growth {
    SIZE_T settled = 0;
    SIZE_T end = 0;
};

Growth StormInSlices(Storm& storm, HANDLE process, int messages)
{
    SIZE_T readings[StormSlices] = {};
    for (int slice = 0; slice < StormSlices; ++slice) {
        RunStorm(storm, messages / StormSlices);
        readings[slice] = UsageOf(process).committedBytes;
    }
    const int half = StormSlices / 2;
    return {MedianOfThree(readings[half - 2], readings[half - 1], readings[half]),
            MedianOfThree(readings[StormSlices - 3], readings[StormSlices - 2], readings[StormSlices - 1])};
}

bool LeakFree(const Usage& before, const Growth& growth, const Usage& after, const char* mode)
{
    // Wine answers GetGuiResources with 0 (not implemented): there the
    // committed memory speaks for GDI and GL objects too.
    std::printf("%s: GDI objects %lu -> %lu, USER objects %lu -> %lu, committed memory %lu KiB -> %lu KiB "
                "(half-way) -> %lu KiB (end)\n",
                mode, before.gdi, after.gdi, before.user, after.user,
                static_cast<unsigned long>(before.committedBytes / 1024),
                static_cast<unsigned long>(growth.settled / 1024), static_cast<unsigned long>(growth.end / 1024));
    return after.gdi <= before.gdi && after.user <= before.user && before.known && after.known &&
           growth.settled > 0 && growth.end <= growth.settled + MemorySlackBytes;
}

// Plays the intro through, then storms the window in slices; prints what
// went out and the saver's usage, and says whether it stayed as it was.
bool StormLeavesNoGrowth(Storm& storm, int messages, const char* mode)
{
    WarmUp(storm.window);
    HANDLE process = OpenSaverProcess(storm.window);
    const Usage before = UsageOf(process);
    const Growth growth = StormInSlices(storm, process, messages);
    const Usage after = UsageOf(process);
    CloseHandle(process);
    std::printf("%s storm: %d sent, %d posted, %d unanswered\n", mode, storm.sent, storm.posted, storm.unanswered);
    return LeakFree(before, growth, after, mode);
}

void PreviewStorm(const std::string& scr, int messages)
{
    HWND parent = MakeParent();
    CHECK(parent != nullptr);
    SaverProcess saver;
    CHECK(saver.start(scr, "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(parent))));
    HWND window = WaitForChild(parent, SaverClass, WaitMs);
    CHECK_MSG(window != nullptr, "no preview window");
    if (window == nullptr)
        return;
    Storm storm{window, true};
    const bool noGrowth = StormLeavesNoGrowth(storm, messages, "preview");
    CHECK_MSG(saver.running() && IsWindow(window), "the preview did not survive the storm");
    CHECK_EQ(0, storm.unanswered);
    CHECK_MSG(storm.sent + storm.posted >= messages * 9 / 10, "most of the storm did not reach the saver");
    CHECK_MSG(WindowText(window) == "Preview", "the preview's title changed: " + WindowText(window));
    // Context menus asked of the preview belong to the settings page around it.
    // (Help requests carry a pointer, which the system does not post across
    // processes, so they are not counted at the parent.)
    CHECK_MSG(ContextMenuAtParent > 0, "no context menu request reached the preview's parent");
    CHECK_MSG(noGrowth, "the preview grew during the storm");

    // The parent ends the preview by going away.
    DestroyWindow(parent);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
}

void FullScreenStorm(const std::string& scr, int messages)
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    SaverProcess saver;
    CHECK(saver.start(scr, "/s"));
    HWND window = WaitForWindow(SaverClass, "Screen Saver", WaitMs);
    CHECK_MSG(window != nullptr, "no full-screen window");
    if (window == nullptr)
        return;
    Storm storm{window, false};
    const bool noGrowth = StormLeavesNoGrowth(storm, messages, "full-screen");
    CHECK_MSG(saver.running() && IsWindow(window), "the full-screen saver did not survive the storm");
    CHECK_EQ(0, storm.unanswered);
    CHECK_MSG(storm.sent + storm.posted >= messages * 9 / 10, "most of the storm did not reach the saver");
    CHECK_MSG(WindowText(window) == "Screen Saver", "the saver's title changed: " + WindowText(window));
    CHECK_MSG(IsWindowVisible(window) && !IsIconic(window), "the saver was hidden or minimised");
    CHECK_MSG(noGrowth, "the saver grew during the storm");

    // Still a screen saver: a real key press closes it.
    SetForegroundWindow(window);
    PumpFor(300);
    SendKey(VK_SHIFT);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
}

// The Windows 95 family for the saver (Wine reports that version to it), with
// a password in use and the dialog-like stand-in as the system's password
// module; all undone at the end.
class LegacyPassword {
public:
    LegacyPassword(const std::string& workDir, const std::string& module) : folder(workDir + "\\storm-password")
    {
        CreateDirectoryA(workDir.c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        DeleteFileA((folder + "\\calls.log").c_str());
        DeleteFileA((folder + "\\release").c_str());
        SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder.c_str());
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        installed = std::string(system) + "\\PASSWORD.CPL";
        ready = CopyFileA(module.c_str(), installed.c_str(), FALSE) != 0;
        setValue("Software\\Wine\\AppDefaults\\Quorvelin.scr", "Version", REG_SZ, "win98", 6);
        const DWORD on = 1;
        setValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD, &on, sizeof(on));
    }
    ~LegacyPassword()
    {
        DeleteFileA(installed.c_str());
        const DWORD off = 0;
        setValue("Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD, &off, sizeof(off));
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr");
        SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", nullptr);
    }
    void answer(bool accept) { write("answer", accept ? "1" : "0"); }
    void release() { write("release", "1"); }
    std::string calls() const { return ReadFileText(folder + "\\calls.log"); }

    bool ready = false;

private:
    static void setValue(const char* path, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    void write(const char* name, const char* text)
    {
        FILE* file = std::fopen((folder + "\\" + name).c_str(), "w");
        if (file == nullptr)
            return;
        std::fputs(text, file);
        std::fclose(file);
    }

    std::string folder;
    std::string installed;
};

// What pours in while the password is being asked for: mostly close requests,
// sent and posted, and everything else that would ask for one.
void OneLegacyMessage(Storm& storm)
{
    switch (Random(8)) {
    case 0:
    case 1:
    case 2:
        Deliver(storm, WM_CLOSE, 0, 0);
        break;
    case 3:
        Deliver(storm, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case 4:
        Deliver(storm, Random(2) == 0 ? WM_KEYDOWN : WM_LBUTTONDOWN, Random(0x100), RandomLParam());
        break;
    case 5:
        Deliver(storm, WM_ACTIVATEAPP, FALSE, Random());
        break;
    case 6:
        Deliver(storm, WM_TIMER, Random(), 0);
        break;
    default:
        Deliver(storm, WM_MOUSEMOVE, 0, RandomLParam());
        break;
    }
}

bool WaitForCalls(const LegacyPassword& password, const std::string& expected, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (password.calls() != expected && GetTickCount() - start < timeoutMs)
        PumpFor(50);
    return password.calls() == expected;
}

void LegacyPasswordStorm(const std::string& scr, const std::string& workDir, const std::string& module, int messages)
{
    LegacyPassword password(workDir, module);
    CHECK_MSG(password.ready, "the stand-in password module could not be installed");
    password.answer(false);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    SaverProcess saver;
    CHECK(saver.start(scr, "/s"));
    HWND window = WaitForWindow(SaverClass, "Screen Saver", WaitMs);
    CHECK_MSG(window != nullptr, "no full-screen window on the legacy platform");
    if (window == nullptr)
        return;
    PumpFor(500);

    // A close request starts the check, which stays under way through the storm.
    PostMessageA(window, WM_CLOSE, 0, 0);
    CHECK_MSG(WaitForCalls(password, "begin\n", WaitMs), "no password check began: " + password.calls());
    Storm storm{window, false};
    for (int i = 0; i < messages && IsWindow(window); ++i) {
        OneLegacyMessage(storm);
        if (i % 64 == 0)
            PumpFor(0);
    }
    PumpFor(500);
    std::printf("legacy storm during a password check: %d sent, %d posted, %d unanswered\n", storm.sent,
                storm.posted, storm.unanswered);
    CHECK_EQ(0, storm.unanswered);
    CHECK_MSG(password.calls() == "begin\n", "a second password check started: " + password.calls());

    // The check refuses: the saver stays, and no check follows on its own.
    password.release();
    CHECK_MSG(WaitForCalls(password, "begin\nend\n", WaitMs), "the check did not end: " + password.calls());
    PumpFor(1000);
    CHECK_MSG(saver.running() && IsWindow(window), "a refused password closed the saver");
    CHECK_MSG(password.calls() == "begin\nend\n", "a check followed the storm unasked: " + password.calls());

    // A real key asks again; accepted, the saver closes.
    password.answer(true);
    SetForegroundWindow(window);
    PumpFor(300);
    SendKey(VK_SHIFT);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
    CHECK_MSG(password.calls() == "begin\nend\nbegin\nend\n", "checks: " + password.calls());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::printf("usage: storm_tests SCR WORK_DIR PASSWORD_MODULE [MESSAGES]\n");
        return 2;
    }
    const std::string scr = ToWindowsPath(argv[1]);
    const std::string workDir = ToWindowsPath(argv[2]);
    const std::string module = ToWindowsPath(argv[3]);
    const int messages = argc > 4 ? std::atoi(argv[4]) : 12000;
    PreviewStorm(scr, messages);
    FullScreenStorm(scr, messages);
    LegacyPasswordStorm(scr, workDir, module, messages);
    return CheckSummary();
}
