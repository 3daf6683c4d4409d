// The Windows 95 family path: Wine reports that version to the saver, and the
// test password module stands in for the system's. Its answer and the record
// of its calls live in a folder named by QUORVELIN_TEST_PASSWORD_DIR.
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/test_context.h"

namespace {
const DWORD SettleMs = 700;
const DWORD PastDebounceMs = 400; // well past the 200 ms in which a close is refused unasked

void WriteFileText(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

// Sets up the old platform for the saver and undoes it at the end.
class LegacySetup {
public:
    explicit LegacySetup(const TestContext& context) : folder(context.workDir + "\\password")
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder.c_str());
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        installedModule = std::string(system) + "\\PASSWORD.CPL";
        changeModule = std::string(system) + "\\MPR.DLL";
        savedChangeModule = changeModule + ".quorvelin-saved";
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr", &key) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
            RegCloseKey(key);
        }
    }
    ~LegacySetup()
    {
        uninstallModule();
        setUsePassword(false);
        if (MoveFileExA(savedChangeModule.c_str(), changeModule.c_str(), MOVEFILE_REPLACE_EXISTING) == 0)
            DeleteFileA(savedChangeModule.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr\\DllOverrides");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr");
        SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", nullptr);
    }
    bool installModule(const TestContext& context)
    {
        return CopyFileA(context.passwordModule.c_str(), installedModule.c_str(), FALSE) != 0;
    }
    void uninstallModule() { DeleteFileA(installedModule.c_str()); }
    // Puts the test module in place of the system's MPR.DLL, for the saver only.
    bool installChangeModule(const TestContext& context)
    {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvelin.scr\\DllOverrides", &key) !=
            ERROR_SUCCESS)
            return false;
        RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
        RegCloseKey(key);
        return CopyFileA(changeModule.c_str(), savedChangeModule.c_str(), TRUE) &&
               CopyFileA(context.passwordModule.c_str(), changeModule.c_str(), FALSE);
    }
    void setUsePassword(bool on)
    {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
            return;
        DWORD value = on ? 1 : 0;
        RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
        RegCloseKey(key);
    }
    void answer(bool accept) { WriteFileText(folder + "\\answer", accept ? "1" : "0"); }
    void clearCalls() { DeleteFileA((folder + "\\calls.log").c_str()); }
    std::string calls() const { return ReadFileText(folder + "\\calls.log"); }

    const std::string folder;

private:
    std::string installedModule;
    std::string changeModule;
    std::string savedChangeModule;
};

// A refusal keeps the saver and resets the mouse reference; closes piling up
// right behind it are refused without asking; an accepted password closes it.
void PasswordGuardsTheSaver(const TestContext& context, LegacySetup& setup)
{
    CHECK(setup.installModule(context));
    setup.setUsePassword(true);
    setup.answer(false);
    setup.clearCalls();
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context, saver, start);
    CHECK(window != nullptr);
    if (window == nullptr)
        return;
    CHECK(setup.calls() == "attach\n");

    // Two keys at once: the first asks and is refused, the second comes within 200 ms.
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "a refused password closed the saver");
    CHECK_MSG(setup.calls() == "attach\nverify\n", "calls after a refusal: " + setup.calls());

    // After a refusal, movement counts from where the pointer was then:
    // 3 pixels, a refused key, then 3 more (6 from the start) stays.
    PumpFor(PastDebounceMs);
    MovePointer(window, start.x + 3, start.y);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    PumpFor(PastDebounceMs);
    MovePointer(window, start.x + 6, start.y);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "the saver closed");
    CHECK_MSG(setup.calls() == "attach\nverify\nverify\n", "the mouse reference point was not reset: " + setup.calls());

    // AutoPlay is cancelled while a password guards the saver, and the saver asks to close.
    PumpFor(PastDebounceMs);
    CHECK(SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0) == TRUE);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "the saver closed");
    CHECK(setup.calls() == "attach\nverify\nverify\nverify\n");

    PumpFor(PastDebounceMs);
    setup.answer(true);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EQ(0u, saver.waitExit(WaitMs));
    CHECK(setup.calls() == "attach\nverify\nverify\nverify\nverify\n");
}

// Without the registry value, or without the module in the system folder, the
// saver closes at once. A module of that name beside the saver or in its
// current folder is never loaded.
void NoPasswordClosesAtOnce(const TestContext& context, LegacySetup& setup)
{
    setup.setUsePassword(false);
    setup.clearCalls();
    {
        SaverProcess saver;
        POINT start;
        HWND window = StartFullScreen(context, saver, start);
        CHECK(window != nullptr);
        // Unguarded, AutoPlay goes on, and the request still closes the saver.
        CHECK(SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0) == FALSE);
        CHECK_EQ(0u, saver.waitExit(WaitMs));
        CHECK_MSG(setup.calls().empty(), "the module was used without the registry value: " + setup.calls());
    }

    setup.setUsePassword(true);
    setup.uninstallModule();
    std::string planted = setup.folder + "\\planted";
    CreateDirectoryA(planted.c_str(), nullptr);
    std::string copy = planted + "\\Quorvelin.scr";
    CHECK(CopyFileA(context.scrPath.c_str(), copy.c_str(), FALSE));
    CHECK(CopyFileA(context.passwordModule.c_str(), (planted + "\\PASSWORD.CPL").c_str(), FALSE));
    {
        SaverProcess saver;
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        CHECK(saver.start(copy, "/s", planted.c_str()));
        HWND window = WaitForWindow(SaverClass, SaverTitle, WaitMs);
        CHECK(window != nullptr);
        PumpFor(500);
        PostMessageA(window, WM_KEYDOWN, 'Q', 0);
        CHECK_EQ(0u, saver.waitExit(WaitMs));
        CHECK_MSG(setup.calls().empty(), "a planted password module ran: " + setup.calls());
    }
    DeleteFileA((planted + "\\PASSWORD.CPL").c_str());
    DeleteFileA(copy.c_str());
}
// The password-change switch calls the system's dialog for the saver's
// provider, over the given window or else the foreground window.
void PasswordChange(const TestContext& context, LegacySetup& setup)
{
    CHECK(setup.installChangeModule(context));
    HWND foreground = MakeTestWindow("Quorvelin test foreground", 100, 100);
    HWND given = MakeTestWindow("Quorvelin test given", 100, 100);
    SetForegroundWindow(foreground);
    PumpFor(200);
    auto number = [](HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); };
    struct Case {
        std::string arguments;
        HWND parent;
    };
    for (const Case& c : {Case{"/a " + number(given), given}, Case{"-A", foreground}, Case{"/a 99999999", foreground}}) {
        setup.clearCalls();
        SaverProcess saver;
        CHECK(saver.start(context.scrPath, c.arguments));
        CHECK_EQ(0u, saver.waitExit(WaitMs));
        CHECK_MSG(setup.calls() == "attach\nchange SCRSAVE " + number(c.parent) + " 0 0\n",
                  "\"" + c.arguments + "\" called: " + setup.calls());
    }
    DestroyWindow(given);
    DestroyWindow(foreground);
}
} // namespace

void RunLegacyTests(const TestContext& context)
{
    LegacySetup setup(context);
    // The password-change switch exists only where the saver believes it runs on the old platform.
    {
        SaverProcess saver;
        CHECK(saver.start(context.scrPath, "/a"));
        DWORD code = saver.waitExit(WaitMs);
        CHECK_MSG(code == 0, "Wine did not report the old platform: /a ended with " + std::to_string(code));
        if (code != 0)
            return;
    }
    PasswordGuardsTheSaver(context, setup);
    NoPasswordClosesAtOnce(context, setup);
    PasswordChange(context, setup);
}
