#include "tests/win32/harness.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
int Passed = 0;
int Failed = 0;
} // namespace

void RecordCheck(bool passed, const char* file, int line, const std::string& what)
{
    ++(passed ? Passed : Failed);
    if (!passed)
        std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
}

void CheckExit(DWORD got, DWORD expected, const std::string& what, const char* file, int line)
{
    RecordCheck(got == expected, file, line, what + ": exit code " + std::to_string(got));
}

int CheckSummary()
{
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return (Failed == 0 && Passed > 0) ? 0 : 1;
}

bool SaverProcess::start(const std::string& scrPath, const std::string& arguments, const char* workDir)
{
    kill();
    std::string commandLine = "\"" + scrPath + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(scrPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workDir, &startup,
                          &info) != 0;
}

DWORD SaverProcess::waitExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (info.hProcess != nullptr && WaitUntil(timeoutMs, [this] { return !running(); }))
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

void SaverProcess::kill()
{
    if (info.hProcess == nullptr)
        return;
    TerminateProcess(info.hProcess, 99); // nothing when it has ended
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    info = PROCESS_INFORMATION{};
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG message;
    do {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (ms != 0 && MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) != WAIT_FAILED &&
             GetTickCount() - start < ms);
}

HWND WaitForWindow(const char* className, const char* title)
{
    HWND window = nullptr;
    WaitUntil(WaitMs, [&] { return (window = FindWindowA(className, title)) != nullptr; });
    return window;
}

HWND WaitForChild(HWND parent)
{
    HWND window = nullptr;
    WaitUntil(WaitMs, [&] { return IsWindowVisible(window = FindWindowExA(parent, nullptr, SaverClass, nullptr)); });
    return window;
}

void SendKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void MovePointer(HWND window, int x, int y)
{
    SetCursorPos(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    PumpFor(150);
}

HWND StartFullScreen(const std::string& scrPath, SaverProcess& saver, POINT& start, const char* arguments,
                     const char* workDir)
{
    start = POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    SetCursorPos(start.x, start.y);
    HWND window = saver.start(scrPath, arguments, workDir) ? WaitForWindow(SaverClass, SaverTitle) : nullptr;
    // Found while it is being made, it is shown and brought forward once the scene is built.
    WaitUntil(WaitMs, [window] { return window == nullptr || GetForegroundWindow() == window; });
    PumpFor(500);
    return window;
}

HWND MakeTestWindow(const char* title, WNDPROC procedure)
{
    // A class per procedure, named by its address.
    const std::string name = "QuorvelinTest" + std::to_string(reinterpret_cast<std::uintptr_t>(procedure));
    WNDCLASSA windowClass = {0, procedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, name.c_str()};
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, name.c_str(), title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
    PumpFor(100);
    return window;
}

std::string ReadFileText(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::string WindowText(HWND window, int(WINAPI* read)(HWND, LPSTR, int))
{
    char text[256] = {};
    read(window, text, sizeof(text));
    return text;
}

std::string Number(HWND window) { return std::to_string(reinterpret_cast<std::uintptr_t>(window)); }

RECT Screenshot::area(double left, double top, double right, double bottom) const
{
    return RECT{LONG(left * width), LONG(top * height), LONG(right * width), LONG(bottom * height)};
}

int Screenshot::count(const RECT& area, bool (*test)(const Rgb&)) const
{
    int n = 0;
    for (LONG y = std::max(0L, area.top); y < std::min<LONG>(height, area.bottom); ++y)
        for (LONG x = std::max(0L, area.left); x < std::min<LONG>(width, area.right); ++x)
            n += test(pixels[static_cast<size_t>(y) * width + x]) ? 1 : 0;
    return n;
}

void Screenshot::save(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << width << " " << height << "\n255\n";
    for (const Rgb& p : pixels)
        file << char(p.r) << char(p.g) << char(p.b);
}

Screenshot TakeScreenshot()
{
    Screenshot shot;
    shot.width = GetSystemMetrics(SM_CXSCREEN);
    shot.height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<unsigned char> bgrx(static_cast<size_t>(shot.width) * shot.height * 4);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    const bool taken = GetDIBits(memory, bitmap, 0, shot.height, bgrx.data(), &info, DIB_RGB_COLORS) == shot.height;
    for (size_t i = 0; taken && i < bgrx.size(); i += 4)
        shot.pixels.push_back(Rgb{bgrx[i + 2], bgrx[i + 1], bgrx[i]});
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    shot.height = taken ? shot.height : 0;
    return shot;
}
