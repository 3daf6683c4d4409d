// A stand-in for the system's password modules on the Windows 95 family: the
// tests install it as PASSWORD.CPL (the check) and as MPR.DLL (the change).
// Its answer and its record live in $QUORVELIN_TEST_PASSWORD_DIR:
//   answer     first character '1' accepts, anything else (or no file) refuses
//   calls.log  one line per event: "attach" when loaded, "verify" per question,
//              "change PROVIDER WINDOW A B" per password change
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

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD a, LPVOID b)
{
    char line[256];
    std::snprintf(line, sizeof(line), "change %s %llu %lu %llu", provider != nullptr ? provider : "(none)",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(parent)), static_cast<unsigned long>(a),
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(b)));
    Record(line);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Record("attach");
    return TRUE;
}
