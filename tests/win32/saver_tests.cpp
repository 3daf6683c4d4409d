// The Windows tier: this program drives Quorvelin.scr under Wine, one group of
// checks per run:  saver_tests GROUP SCR PASSWORD_MODULE WORK_DIR
// It is also the shell's handler for the about box's links during those tests:
//   saver_tests shell-probe LOG TARGET  appends TARGET to LOG.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/test_context.h"

namespace {
LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShellProbe(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    FILE* log = std::fopen(argv[2], "a");
    if (log == nullptr)
        return 3;
    std::fprintf(log, "%s\n", argv[3]);
    std::fclose(log);
    return 0;
}
// A legacy run that died half-way must not leave the prefix looking like the old platform.
void UndoLegacySetup()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr\\DllOverrides");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr");
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    DeleteFileA((std::string(system) + "\\PASSWORD.CPL").c_str());
    std::string changeModule = std::string(system) + "\\MPR.DLL";
    MoveFileExA((changeModule + ".quorvelin-saved").c_str(), changeModule.c_str(), MOVEFILE_REPLACE_EXISTING);
}
} // namespace

HWND StartFullScreen(const TestContext& context, SaverProcess& saver, POINT& start, const char* arguments)
{
    start.x = GetSystemMetrics(SM_CXSCREEN) / 2;
    start.y = GetSystemMetrics(SM_CYSCREEN) / 2;
    SetCursorPos(start.x, start.y);
    if (!saver.start(context.scrPath, arguments))
        return nullptr;
    HWND window = WaitForWindow(SaverClass, SaverTitle, WaitMs);
    // Let the first frames and the window's own start-up messages pass.
    PumpFor(500);
    return window;
}

HWND MakeTestWindow(const char* title, int clientWidth, int clientHeight)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "QuorvelinTestWindow";
        registered = RegisterClassA(&windowClass) != 0;
    }
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, "QuorvelinTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    PumpFor(100);
    return window;
}

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "shell-probe") == 0)
        return ShellProbe(argc, argv);
    if (argc < 5) {
        std::printf("usage: saver_tests GROUP SCR PASSWORD_MODULE WORK_DIR\n");
        return 2;
    }
    TestContext context;
    context.scrPath = ToWindowsPath(argv[2]);
    context.passwordModule = ToWindowsPath(argv[3]);
    context.workDir = ToWindowsPath(argv[4]);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    context.testProgram = self;
    CreateDirectoryA(context.workDir.c_str(), nullptr);

    UndoLegacySetup();
    const char* group = argv[1];
    if (std::strcmp(group, "command-line") == 0)
        RunCommandLineTests(context);
    else if (std::strcmp(group, "window") == 0)
        RunWindowTests(context);
    else if (std::strcmp(group, "closing") == 0)
        RunClosingTests(context);
    else if (std::strcmp(group, "preview") == 0)
        RunPreviewTests(context);
    else if (std::strcmp(group, "legacy") == 0)
        RunLegacyTests(context);
    else if (std::strcmp(group, "about-box") == 0)
        RunAboutBoxTests(context);
    else if (std::strcmp(group, "no-gl") == 0)
        RunNoGlTests(context);
    else {
        std::printf("unknown group %s\n", group);
        return 2;
    }
    return CheckSummary();
}
