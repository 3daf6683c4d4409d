// The Windows 95 family path: Wine reports that version to the saver, and the
// stand-in password module (test_password.cpp) takes the system's place as
// PASSWORD.CPL or MPR.DLL, answering from a folder of this run.
#include <fstream>

#include "tests/win32/harness.h"

namespace {
const DWORD PastDebounceMs = 400; // well past the 200 ms in which a close is refused unasked
const char AppDefaults[] = "Software\\Wine\\AppDefaults\\Quorvelin.scr";

std::string SystemFile(const std::string& name)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\" + name;
}

void UsePassword(DWORD on)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD, &on, 4);
}

// The old platform for the saver only, and the stand-in's folder; undone at the end.
class LegacyPlatform {
public:
    explicit LegacyPlatform(const TestContext& context)
        : folder(context.workDir + "\\password"), module(context.passwordModule)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        put("hold");
        put("calls.log");
        SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", folder.c_str());
        RegSetKeyValueA(HKEY_CURRENT_USER, AppDefaults, "Version", REG_SZ, "win98", 6);
    }
    ~LegacyPlatform() { UndoLegacyPlatform(); }
    // As MPR.DLL the stand-in replaces the system's for the saver only, the system's kept aside.
    bool install(const std::string& name) const
    {
        if (name == "MPR.DLL" && CopyFileA(SystemFile(name).c_str(), SystemFile(name + ".saved").c_str(), TRUE))
            RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(AppDefaults) + "\\DllOverrides").c_str(), "mpr", REG_SZ,
                            "native", 7);
        return CopyFileA(module.c_str(), SystemFile(name).c_str(), FALSE) != 0;
    }
    // Writes one of the stand-in's files, or with no text removes it.
    void put(const char* name, const char* text = nullptr) const
    {
        DeleteFileA((folder + "\\" + name).c_str());
        if (text != nullptr)
            std::ofstream(folder + "\\" + name) << text;
    }
    std::string calls() const { return ReadFileText(folder + "\\calls.log"); }

    const std::string folder;

private:
    const std::string module;
};
} // namespace

void UndoLegacyPlatform()
{
    UsePassword(0);
    RegDeleteTreeA(HKEY_CURRENT_USER, AppDefaults);
    DeleteFileA(SystemFile("PASSWORD.CPL").c_str());
    MoveFileExA(SystemFile("MPR.DLL.saved").c_str(), SystemFile("MPR.DLL").c_str(), MOVEFILE_REPLACE_EXISTING);
    SetEnvironmentVariableA("QUORVELIN_TEST_PASSWORD_DIR", nullptr);
}

namespace {
// A module of that name only beside the saver or in its current folder must
// never load; the system's module without the setting is not asked. Either
// way the saver closes at once, and AutoPlay goes on.
void NoPasswordClosesAtOnce(const TestContext& context, const LegacyPlatform& legacy)
{
    UsePassword(1);
    const std::string planted = legacy.folder + "\\planted";
    CreateDirectoryA(planted.c_str(), nullptr);
    CHECK(CopyFileA(context.scrPath.c_str(), (planted + "\\Quorvelin.scr").c_str(), FALSE) &&
          CopyFileA(context.passwordModule.c_str(), (planted + "\\PASSWORD.CPL").c_str(), FALSE));
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(planted + "\\Quorvelin.scr", saver, start, "/s", planted.c_str());
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EXIT(saver, 0u, "a key, the module planted beside the saver");
    CHECK(legacy.install("PASSWORD.CPL"));
    UsePassword(0);
    window = StartFullScreen(context.scrPath, saver, start);
    CHECK(SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0) == FALSE);
    CHECK_EXIT(saver, 0u, "AutoPlay, the password setting off");
    CHECK_MSG(legacy.calls().empty(), "a password module ran: " + legacy.calls());
}

// A refusal keeps the saver and resets the mouse reference; closes piling up
// right behind it are refused without asking; AutoPlay is cancelled while a
// password guards the saver; an accepted password closes it.
void PasswordGuardsTheSaver(const TestContext& context, const LegacyPlatform& legacy)
{
    UsePassword(1);
    legacy.put("answer", "0");
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context.scrPath, saver, start);
    // Two keys at once: the first asks and is refused, the second comes within 200 ms.
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "a refused password closed the saver");
    CHECK_MSG(legacy.calls() == "attach\nverify\n", "calls after a refusal: " + legacy.calls());
    // After a refusal, movement counts from where the pointer was then:
    // 3 pixels, a refused key, then 3 more (6 from the start) stays.
    PumpFor(PastDebounceMs);
    MovePointer(window, start.x + 3, start.y);
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    PumpFor(PastDebounceMs);
    MovePointer(window, start.x + 6, start.y);
    PumpFor(PastDebounceMs);
    CHECK(SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0) == TRUE);
    CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "the saver closed");
    CHECK_MSG(legacy.calls() == "attach\nverify\nverify\nverify\n", "calls: " + legacy.calls());
    PumpFor(PastDebounceMs);
    legacy.put("answer", "1");
    PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    CHECK_EXIT(saver, 0u, "an accepted password");
    CHECK_MSG(legacy.calls() == "attach\nverify\nverify\nverify\nverify\n", "calls: " + legacy.calls());
}

// Close requests, input, loss of activation and timers pour in, half sent and
// half posted, while a check is held open as the system's dialog would hold
// it: no second check may start, and none may follow the refusal unasked.
void PasswordStorm(const TestContext& context, const LegacyPlatform& legacy)
{
    legacy.put("calls.log");
    legacy.put("answer", "0");
    legacy.put("hold", "1");
    SaverProcess saver;
    POINT start;
    HWND window = StartFullScreen(context.scrPath, saver, start);
    PostMessageA(window, WM_CLOSE, 0, 0);
    CHECK_MSG(WaitUntil(WaitMs, [&] { return legacy.calls() == "attach\nverify\n"; }), "no check: " + legacy.calls());
    const UINT closing[] = {WM_CLOSE, WM_SYSCOMMAND, WM_KEYDOWN, WM_LBUTTONDOWN, WM_ACTIVATEAPP, WM_TIMER, WM_MOUSEMOVE};
    int unanswered = 0;
    unsigned seed = 20261206u;
    for (int i = 0; i < 4000 && IsWindow(window); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const UINT message = closing[(seed >> 8) % 7];
        const WPARAM wParam = message == WM_SYSCOMMAND ? SC_CLOSE : message == WM_ACTIVATEAPP ? FALSE : seed >> 24;
        DWORD_PTR result = 0;
        if (seed & 0x10000)
            PostMessageA(window, message, wParam, 0);
        else if (SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 5000, &result) == 0)
            ++unanswered;
        if (i % 64 == 0)
            PumpFor(0);
    }
    CHECK_MSG(unanswered == 0 && legacy.calls() == "attach\nverify\n",
              std::to_string(unanswered) + " unanswered; checks: " + legacy.calls());
    legacy.put("hold");
    PumpFor(1500);
    CHECK_MSG(saver.running() && legacy.calls() == "attach\nverify\n", "after the refusal: " + legacy.calls());
    // A real key asks again; accepted, the saver closes.
    legacy.put("answer", "1");
    SetForegroundWindow(window);
    PumpFor(300);
    SendKey(VK_SHIFT);
    CHECK_EXIT(saver, 0u, "an accepted password after the storm");
    CHECK_MSG(legacy.calls() == "attach\nverify\nverify\n", "checks: " + legacy.calls());
}

// The password-change switch calls the system's dialog for the saver's
// provider, over the given window or else the foreground window.
void PasswordChange(const TestContext& context, const LegacyPlatform& legacy)
{
    CHECK(legacy.install("MPR.DLL"));
    HWND foreground = MakeTestWindow("Quorvelin test foreground");
    HWND given = MakeTestWindow("Quorvelin test given");
    SetForegroundWindow(foreground);
    PumpFor(200);
    const struct {
        std::string arguments;
        HWND parent;
    } cases[] = {{"/a " + Number(given), given}, {"-A", foreground}, {"/a 99999999", foreground}};
    for (const auto& c : cases) {
        legacy.put("calls.log");
        SaverProcess saver;
        saver.start(context.scrPath, c.arguments);
        CHECK_EXIT(saver, 0u, c.arguments);
        CHECK_MSG(legacy.calls() == "attach\nchange SCRSAVE " + Number(c.parent) + " 0 0\n", c.arguments + ": " + legacy.calls());
    }
    DestroyWindow(given);
    DestroyWindow(foreground);
}
} // namespace

void RunLegacyTests(const TestContext& context)
{
    LegacyPlatform legacy(context);
    // The password-change switch ends with 0 only where the saver believes it runs on the old platform.
    SaverProcess saver;
    saver.start(context.scrPath, "/a");
    CHECK_EXIT(saver, 0u, "/a: does Wine report the old platform?");
    NoPasswordClosesAtOnce(context, legacy);
    PasswordGuardsTheSaver(context, legacy);
    PasswordStorm(context, legacy);
    PasswordChange(context, legacy);
}
