// A stand-in for the system's password modules on the Windows 95 family: the
// tests install it as PASSWORD.CPL (the check) and as MPR.DLL (the change).
// Exported by plain names (--kill-at drops the i686 decoration). Its answer
// and its record live in $QUORVELIN_TEST_PASSWORD_DIR:
//   answer     first character '1' accepts, anything else (or no file) refuses
//   hold       while it exists, a check waits in a message loop on the saver's
//              thread, as the system's dialog would, so the saver's messages
//              keep arriving during the check
//   calls.log  one line per event: "attach" when loaded, "verify" per check,
//              "change PROVIDER WINDOW A B" per password change
#include <windows.h>

#include <fstream>
#include <string>

namespace {
std::string InFolder(const char* name)
{
    char folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::string(folder) + "\\" + name : std::string();
}

void Record(const std::string& event) { std::ofstream(InFolder("calls.log"), std::ios::app) << event << "\n"; }
} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    Record("verify");
    for (const DWORD start = GetTickCount();
         GetFileAttributesA(InFolder("hold").c_str()) != INVALID_FILE_ATTRIBUTES && GetTickCount() - start < 60000;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return std::ifstream(InFolder("answer")).get() == '1' ? TRUE : FALSE;
}

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD a, LPVOID b)
{
    Record("change " + std::string(provider != nullptr ? provider : "(none)") + " " +
           std::to_string(reinterpret_cast<UINT_PTR>(parent)) + " " + std::to_string(a) + " " +
           std::to_string(reinterpret_cast<UINT_PTR>(b)));
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Record("attach");
    return TRUE;
}
