#include "host/win32/saver_host.h"

#include <cstring>

#include "host/win32/command_line.h"
#include "host/win32/export_lookup.h"
#include "resources/resource_ids.h"

namespace {
const char SaverClassName[] = "WindowsScreenSaverClass";
const char FullScreenTitle[] = "Screen Saver";
const char PreviewTitle[] = "Preview";
const UINT SaverClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
const DWORD FullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const DWORD PreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
const DWORD PasswordDebounceMs = 200;
const WPARAM PowerCriticalResume = 3; // PWR_CRITICALRESUME of the old power message
const UINT SetScreenSaverRunning = 97; // SPI_SETSCREENSAVERRUNNING

using VerifyPasswordProc = BOOL(WINAPI*)(HWND);
using ChangePasswordProc = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
using AssociateContextProc = HANDLE(WINAPI*)(HWND, HANDLE);

HINSTANCE MainInstance = nullptr;
HWND MainWindow = nullptr;
bool ChildPreview = false;
bool LegacyPlatform = false;
bool Closing = false;
bool CheckingPassword = false;
UINT AutoPlayMessage = 0;
POINT MousePoint = {0, 0};
const DWORD MouseThreshold = 4;
DWORD LastPasswordCheck = 0xFFFFFFFFu;
HMODULE PasswordModule = nullptr;
VerifyPasswordProc VerifyPasswordFn = nullptr;

HMODULE ImeModule = nullptr;
AssociateContextProc ImeAssociateContext = nullptr;
HANDLE PreviousInputContext = nullptr;

void HideCursor() { SetCursor(nullptr); }

// System commands that would move, size, minimise, maximise or restore the
// saver's window, or run a modal loop inside it (menus, sizing, scrolling,
// context help), or switch to another window. Sent by another program, they
// would leave a full-screen saver hidden or deaf to the key that should close
// it, and a preview stuck in a loop that swallows its quit message.
bool DisturbsTheSaver(WPARAM command)
{
    switch (command & 0xFFF0) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_RESTORE:
    case SC_KEYMENU:
    case SC_MOUSEMENU:
    case SC_HSCROLL:
    case SC_VSCROLL:
    case SC_ARRANGE:
    case SC_CONTEXTHELP:
    case SC_TASKLIST:
    case SC_HOTKEY:
        return true;
    default:
        return false;
    }
}

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// After a display change the window covers the new virtual screen: the
// bounding box of every monitor as the system now counts them (the screen
// device context's clip box may still be the old desktop's at this moment).
// Windows 95 and NT 4.0 know no virtual screen and answer 0 for its size:
// there the one screen is the desktop.
void FitToVirtualScreen(HWND window)
{
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_NOACTIVATE);
        return;
    }
    SetWindowPos(window, HWND_TOPMOST, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), width,
                 height, SWP_NOACTIVATE);
}

// System modules are loaded by full path from the system directory: a module
// of the same name beside the saver or in the current folder must never run.
HMODULE LoadSystemModule(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    size_t nameLength = std::strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH)
        return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}

// Lets the system lock out task switching while a password guards the saver.
void SetSaverRunning(bool running)
{
    if (!LegacyPlatform)
        return;
    BOOL previous = FALSE;
    SystemParametersInfoA(SetScreenSaverRunning, running ? TRUE : FALSE, &previous, 0);
}

void UnloadPasswordModule()
{
    if (!LegacyPlatform || PasswordModule == nullptr)
        return;
    FreeLibrary(PasswordModule);
    PasswordModule = nullptr;
    if (VerifyPasswordFn != nullptr) {
        VerifyPasswordFn = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordModule()
{
    if (!LegacyPlatform)
        return;
    if (PasswordModule != nullptr)
        UnloadPasswordModule();
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return;
    DWORD usePassword = 0;
    DWORD size = sizeof(usePassword);
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&usePassword),
                         &size) == ERROR_SUCCESS &&
        usePassword != 0) {
        PasswordModule = LoadSystemModule("PASSWORD.CPL");
        if (PasswordModule != nullptr) {
            VerifyPasswordFn = LookUp<VerifyPasswordProc>(PasswordModule, "VerifyScreenSavePwd");
            if (VerifyPasswordFn != nullptr)
                SetSaverRunning(true);
            else
                UnloadPasswordModule();
        }
    }
    RegCloseKey(key);
}

// Whether the saver may close; on the Windows 95 family this asks for the password.
bool VerifySaverPassword(HWND window)
{
    if (CheckingPassword || Closing)
        return false;
    if (VerifyPasswordFn == nullptr) {
        Closing = true;
        return true;
    }
    // The close messages that pile up behind a refused password must not ask again.
    if (LastPasswordCheck != 0xFFFFFFFFu && GetTickCount() - LastPasswordCheck < PasswordDebounceMs)
        return false;
    CheckingPassword = true;
    MSG pending;
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    Closing = SendMessageA(window, SCRM_VERIFYPW, 0, 0) != 0;
    CheckingPassword = false;
    if (!Closing)
        HideCursor();
    LastPasswordCheck = GetTickCount();
    return Closing;
}

LRESULT DefaultStep(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (AutoPlayMessage != 0 && message == AutoPlayMessage) {
        // AutoPlay is cancelled only while a password guards the saver.
        PostClose(window);
        return VerifyPasswordFn != nullptr ? TRUE : FALSE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT WINAPI SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // The input method would pop up its own window over the saver.
        ImeModule = GetModuleHandleA("IMM32.DLL");
        if (ImeModule != nullptr) {
            ImeAssociateContext = LookUp<AssociateContextProc>(ImeModule, "ImmAssociateContext");
            if (ImeAssociateContext != nullptr)
                PreviousInputContext = ImeAssociateContext(window, nullptr);
        }
        GetCursorPos(&MousePoint);
        if (!ChildPreview)
            HideCursor();
        break;
    case WM_DESTROY:
        if (ImeModule != nullptr && ImeAssociateContext != nullptr && PreviousInputContext != nullptr)
            ImeAssociateContext(window, PreviousInputContext);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (Closing)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!ChildPreview)
            HideCursor();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (ChildPreview) {
            // The preview box belongs to the settings page: its help is theirs.
            HWND parent = GetParent(window);
            if (parent != nullptr && IsWindow(parent))
                PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            return TRUE;
        }
        break;
    case WM_SYSCOMMAND:
        if (!ChildPreview && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        if (DisturbsTheSaver(wParam))
            return 0;
        break;
    case WM_TIMER:
        if (Closing)
            return 0;
        Sleep(0);
        break;
    case WM_DISPLAYCHANGE:
        // A monitor came, went or changed its mode: the window is fitted
        // before the saver's views follow.
        if (!ChildPreview)
            FitToVirtualScreen(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (Closing)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    default:
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

int RunSaverWindow(HWND parent)
{
    WNDCLASSA saverClass = {};
    saverClass.style = SaverClassStyle;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.hInstance = MainInstance;
    saverClass.hIcon = LoadIconA(MainInstance, MAKEINTRESOURCEA(IDI_SAVER_CLASS));
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SaverClassName;

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    const char* title = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    if (parent != nullptr) {
        RECT client = {};
        GetClientRect(parent, &client);
        width = client.right;
        height = client.bottom;
        title = PreviewTitle;
        style = PreviewStyle;
        ChildPreview = true;
    } else {
        RECT screen = {};
        HDC screenDc = GetDC(nullptr);
        GetClipBox(screenDc, &screen);
        ReleaseDC(nullptr, screenDc);
        x = screen.left;
        y = screen.top;
        width = screen.right - screen.left;
        height = screen.bottom - screen.top;
        title = FullScreenTitle;
        style = FullScreenStyle;
        exStyle = WS_EX_TOPMOST;

        // No second saver runs: the one already there comes forward.
        HWND running = FindWindowA(SaverClassName, FullScreenTitle);
        if (running != nullptr && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordModule();
    }

    AutoPlayMessage = LegacyPlatform ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    if (RegisterClassA(&saverClass) != 0)
        MainWindow = CreateWindowExA(exStyle, SaverClassName, title, style, x, y, width, height, parent, nullptr,
                                     MainInstance, nullptr);
    // Without a window there is no loop to run and nothing to show: report the failure.
    int result = -1;
    if (MainWindow != nullptr) {
        if (!ChildPreview)
            SetForegroundWindow(MainWindow);
        MSG message = {};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            // The saver sets no timer with a callback; for a timer message
            // that names one, the system would call whatever address another
            // program put in it.
            if (message.message == WM_TIMER && message.lParam != 0)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        result = static_cast<int>(message.wParam);
    }
    UnloadPasswordModule();
    return result;
}

int ShowSettingsBox(HWND parent)
{
    if (!RegisterDialogClasses(MainInstance))
        return 0;
    return static_cast<int>(
        DialogBoxParamA(MainInstance, MAKEINTRESOURCEA(IDD_ABOUT_BOX), parent, ScreenSaverConfigureDialog, 0));
}

HWND WindowOrNone(std::uintptr_t value)
{
    HWND window = reinterpret_cast<HWND>(value);
    return (window != nullptr && IsWindow(window)) ? window : nullptr;
}

int StartPreview(std::uintptr_t value)
{
    HWND parent = WindowOrNone(value);
    return parent != nullptr ? RunSaverWindow(parent) : -1;
}

void StartPasswordChange(std::uintptr_t value)
{
    HWND parent = WindowOrNone(value);
    ScreenSaverChangePassword(parent != nullptr ? parent : GetForegroundWindow());
}

// A fault that nobody handles must not leave task switching locked.
LONG WINAPI SaverFaultFilter(EXCEPTION_POINTERS*)
{
    SetSaverRunning(false);
    return EXCEPTION_CONTINUE_SEARCH;
}

const char* NextChar(const char* p) { return CharNextA(p); }
} // namespace

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (ChildPreview || Closing)
        return DefaultStep(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (LegacyPlatform && !VerifySaverPassword(window)) {
            GetCursorPos(&MousePoint);
            return 0;
        }
        return DefaultStep(window, message, wParam, lParam);
    case SCRM_VERIFYPW:
        if (LegacyPlatform)
            return VerifyPasswordFn != nullptr ? VerifyPasswordFn(window) : TRUE;
        return DefaultStep(window, message, wParam, lParam);
    default:
        break;
    }
    if (CheckingPassword)
        return DefaultStep(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0)
            HideCursor();
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            PostClose(window);
        break;
    case WM_SETCURSOR:
        HideCursor();
        return TRUE;
    case WM_POWER:
        if (wParam == PowerCriticalResume)
            PostClose(window);
        break;
    case WM_POWERBROADCAST:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostClose(window);
        break;
    case WM_MOUSEMOVE: {
        // Measured from where the pointer was, not from the message's own coordinates.
        POINT now = {};
        GetCursorPos(&now);
        long long dx = static_cast<long long>(now.x) - MousePoint.x;
        long long dy = static_cast<long long>(now.y) - MousePoint.y;
        long long distance = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
        if (distance > static_cast<long long>(MouseThreshold)) {
            PostClose(window);
            MousePoint = now;
        }
        break;
    }
    default:
        break;
    }
    return DefaultStep(window, message, wParam, lParam);
}

void WINAPI ScreenSaverChangePassword(HWND parent)
{
    HMODULE module = LoadSystemModule("MPR.DLL");
    if (module == nullptr)
        return;
    ChangePasswordProc change = LookUp<ChangePasswordProc>(module, "PwdChangePasswordA");
    if (change != nullptr)
        change("SCRSAVE", parent, 0, nullptr);
    FreeLibrary(module);
}

int SaverMain(HINSTANCE instance, HINSTANCE, const char* commandLine, int)
{
    MainInstance = instance;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    LegacyPlatform = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    SetUnhandledExceptionFilter(SaverFaultFilter);

    SaverCommand command = ScanCommandLine(commandLine, LegacyPlatform);
    switch (command.action) {
    case SaverAction::Settings:
        return ShowSettingsBox(nullptr);
    case SaverAction::FullScreen:
        return RunSaverWindow(nullptr);
    case SaverAction::Preview:
        return StartPreview(command.window);
    case SaverAction::Configure: {
        HWND parent = WindowOrNone(command.window);
        return ShowSettingsBox(parent != nullptr ? parent : GetForegroundWindow());
    }
    case SaverAction::ChangePassword:
        StartPasswordChange(command.window);
        return 0;
    case SaverAction::Invalid:
        break;
    }
    return -1;
}

void SaverStartup()
{
    const char* rest = SkipProgramName(GetCommandLineA(), NextChar);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), nullptr, rest, showCommand)));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverStartup();
    return 0;
}
