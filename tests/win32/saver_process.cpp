#include "tests/win32/saver_process.h"

#include <cstdio>
#include <vector>

SaverProcess::~SaverProcess() { kill(); }

bool SaverProcess::start(const std::string& scrPath, const std::string& arguments, const char* workDir)
{
    kill();
    std::string commandLine = "\"" + scrPath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(scrPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir, &startup,
                          &info) != 0;
}

DWORD SaverProcess::waitExit(DWORD timeoutMs)
{
    if (info.hProcess == nullptr)
        return STILL_ACTIVE;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return STILL_ACTIVE;
        DWORD wait = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            break;
        PumpFor(0);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool SaverProcess::running()
{
    return info.hProcess != nullptr && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void SaverProcess::kill()
{
    if (info.hProcess == nullptr)
        return;
    if (running()) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    info = PROCESS_INFORMATION{};
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (ms != 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(className, title);
        if (window != nullptr || GetTickCount() - start >= timeoutMs)
            return window;
        PumpFor(20);
    }
}

HWND WaitForChild(HWND parent, const char* className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        // Found as soon as it exists; ready once creation has made it visible.
        HWND window = FindWindowExA(parent, nullptr, className, nullptr);
        if ((window != nullptr && IsWindowVisible(window)) || GetTickCount() - start >= timeoutMs)
            return window;
        PumpFor(20);
    }
}

std::string ToWindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string result = "Z:" + path;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ClassName(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
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

std::string ReadFileText(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return text;
    char line[512];
    while (std::fgets(line, sizeof(line), file) != nullptr)
        text += line;
    std::fclose(file);
    return text;
}
