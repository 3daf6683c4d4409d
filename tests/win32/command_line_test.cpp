// The switches: scanned in-process by the very code the .scr runs, then the
// .scr itself started with each, checking what it does and its exit code.
#include <cstdint>
#include <string>

#include "host/win32/command_line.h"
#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/test_context.h"

namespace {
void CheckScan(const char* text, bool legacy, SaverAction action, std::uintptr_t window)
{
    SaverCommand command = ScanCommandLine(text, legacy);
    CHECK_MSG(command.action == action && command.window == window,
              std::string("scan of \"") + text + "\" gave action " + std::to_string(static_cast<int>(command.action)) +
                  " window " + std::to_string(command.window));
}

void ScanningTests()
{
    // Every spelling of full screen, with the prefixes the scan skips.
    for (const char* text : {"/s", "-S", "s", " /s", "/-/ S", "/s garbage"})
        CheckScan(text, false, SaverAction::FullScreen, 0);
    CheckScan("/p 1234", false, SaverAction::Preview, 1234);
    CheckScan("/l 1234", false, SaverAction::Preview, 1234);
    CheckScan("/P1234", false, SaverAction::Preview, 1234);
    CheckScan("/p", false, SaverAction::Preview, 0);
    CheckScan("/p -5", false, SaverAction::Preview, 0);
    CheckScan("/c:1234", false, SaverAction::Configure, 1234);
    CheckScan("/c:12ab", false, SaverAction::Configure, 12);
    CheckScan("/c 1234", false, SaverAction::Configure, 0); // a blank, not a colon: the foreground window
    CheckScan("/c", false, SaverAction::Configure, 0);
    CheckScan("", false, SaverAction::Settings, 0);
    CheckScan("  ", false, SaverAction::Settings, 0);
    // Anything else ends the program with -1: unknown letters, digits, controls, high bytes.
    for (const char* text : {"/x", "/5", "/\ts", "\x81s", "\xe9", "/?"})
        CheckScan(text, false, SaverAction::Invalid, 0);
    // The password-change switch exists on the Windows 95 family only.
    CheckScan("/a 77", false, SaverAction::Invalid, 0);
    CheckScan("/a 77", true, SaverAction::ChangePassword, 77);
    CheckScan("-A", true, SaverAction::ChangePassword, 0);

    // The program name is skipped however it is written.
    CHECK(std::string(SkipProgramName("\"C:\\My Savers\\Quorvelin.scr\" /s")) == "/s");
    CHECK(std::string(SkipProgramName("\"C:\\x.scr\"/p 5")) == "/p 5");
    CHECK(std::string(SkipProgramName("C:\\x.scr \t  /c:9")) == "/c:9");
    CHECK(std::string(SkipProgramName("\xe9t\xe9.scr /s")) == "/s");
    CHECK(std::string(SkipProgramName("\"unterminated /s")) == "");
    CHECK(std::string(SkipProgramName("x.scr")) == "");

    // A handle of the full width reads back whole; one past it wraps to 0 instead of overflowing.
    std::string largest = std::to_string(static_cast<unsigned long long>(UINTPTR_MAX));
    CHECK(ParseWindowHandle(largest.c_str()) == UINTPTR_MAX);
    std::string pastLargest = largest;
    pastLargest.back() = static_cast<char>(pastLargest.back() + 1); // the maximum ends in 5 on both widths
    CHECK(ParseWindowHandle(pastLargest.c_str()) == 0);
    CHECK(ParseWindowHandle("00042x7") == 42);
}

DWORD RunToExit(const TestContext& context, const std::string& arguments)
{
    SaverProcess saver;
    if (!saver.start(context.scrPath, arguments))
        return 0xDEADu;
    return saver.waitExit(WaitMs);
}

// Every way of saying "full screen" shows the saver window, which a key closes with 0.
void FullScreenSwitches(const TestContext& context)
{
    for (const char* arguments : {"/s", "-S", "s", " /s"}) {
        SaverProcess saver;
        POINT start;
        HWND window = StartFullScreen(context, saver, start, arguments);
        CHECK_MSG(window != nullptr, std::string("no saver window for \"") + arguments + "\"");
        PostMessageA(window, WM_KEYDOWN, 'Q', 0);
        CHECK_EQ(0u, saver.waitExit(WaitMs));
    }
}

void RejectedSwitches(const TestContext& context)
{
    CHECK(!IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1234))));
    for (const char* arguments : {"/p 1234", "/l 1234", "/p", "/l", "/p 18446744073709551616999999", "/x", "/5", "/a",
                                  "/a 1234", "\xe9"}) {
        DWORD code = RunToExit(context, arguments);
        CHECK_MSG(code == ExitInvalid, std::string("\"") + arguments + "\" exited with " + std::to_string(code));
    }
    // None of them may have left a saver window behind.
    CHECK(FindWindowA(SaverClass, nullptr) == nullptr);
}

// The settings box's owner: the given window, the foreground window, or none.
void SettingsOwners(const TestContext& context)
{
    HWND foreground = MakeTestWindow("Quorvelin test foreground", 200, 100);
    HWND given = MakeTestWindow("Quorvelin test given", 200, 100);
    SetForegroundWindow(foreground);
    PumpFor(200);
    CHECK(GetForegroundWindow() == foreground);
    std::string givenNumber = std::to_string(reinterpret_cast<std::uintptr_t>(given));

    struct Case {
        std::string arguments;
        HWND owner;
    };
    for (const Case& c : {Case{"/c:" + givenNumber, given}, Case{"/c " + givenNumber, foreground},
                          Case{"/c", foreground}, Case{"/c:99999999", foreground}, Case{"", nullptr}}) {
        SaverProcess saver;
        CHECK(saver.start(context.scrPath, c.arguments));
        HWND box = WaitForWindow("#32770", "Quorv-Saver Settings", WaitMs);
        CHECK_MSG(box != nullptr, "no settings box for \"" + c.arguments + "\"");
        CHECK_MSG(GetWindow(box, GW_OWNER) == c.owner, "wrong owner of the settings box for \"" + c.arguments + "\"");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        CHECK_EQ(1u, saver.waitExit(WaitMs));
        SetForegroundWindow(foreground);
        PumpFor(100);
    }
    DestroyWindow(given);
    DestroyWindow(foreground);
}
} // namespace

void RunCommandLineTests(const TestContext& context)
{
    ScanningTests();
    FullScreenSwitches(context);
    RejectedSwitches(context);
    SettingsOwners(context);
}
