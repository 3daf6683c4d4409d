// A stand-in for the system's password module that behaves like its dialog:
// while it asks, it runs a modal message loop on the saver's thread, so the
// saver's own messages (timers, input, close requests) keep arriving during
// the check. The storm installs it as PASSWORD.CPL. Its folder is
// $QUORVELIN_TEST_PASSWORD_DIR:
//   answer     first character '1' accepts, anything else refuses
//   release    the check ends once this file exists (or after 30 s)
//   calls.log  "begin" and "end" per check, "nested" when a check starts
//              while another is still under way (a second dialog)
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
int Depth = 0;

std::string Folder()
{
    char folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::string(folder) : std::string();
}

void Record(const char* event)
{
    FILE* log = std::fopen((Folder() + "\\calls.log").c_str(), "a");
    if (log == nullptr)
        return;
    std::fprintf(log, "%s\n", event);
    std::fclose(log);
}

bool Exists(const char* name) { return GetFileAttributesA((Folder() + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES; }
} // namespace

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    Record(Depth > 0 ? "nested" : "begin");
    ++Depth;
    const DWORD start = GetTickCount();
    while (!Exists("release") && GetTickCount() - start < 30000) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    --Depth;
    Record("end");
    FILE* answer = std::fopen((Folder() + "\\answer").c_str(), "r");
    if (answer == nullptr)
        return FALSE;
    const int first = std::fgetc(answer);
    std::fclose(answer);
    return first == '1' ? TRUE : FALSE;
}
