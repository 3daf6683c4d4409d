// A stand-in for the system's password module, for the Windows 95 family
// path. Its answer and its record live in $QUORVELIN_TEST_PASSWORD_DIR:
//   answer     first character '1' accepts, anything else (or no file) refuses
//   calls.log  one line per event: "attach" when loaded, "verify" per question
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
std::string Folder()
{
    char folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::string(folder) : std::string();
}

void Record(const char* event)
{
    std::string folder = Folder();
    if (folder.empty())
        return;
    FILE* log = std::fopen((folder + "\\calls.log").c_str(), "a");
    if (log == nullptr)
        return;
    std::fprintf(log, "%s\n", event);
    std::fclose(log);
}
} // namespace

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    Record("verify");
    FILE* answer = std::fopen((Folder() + "\\answer").c_str(), "r");
    if (answer == nullptr)
        return FALSE;
    int first = std::fgetc(answer);
    std::fclose(answer);
    return first == '1' ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Record("attach");
    return TRUE;
}
