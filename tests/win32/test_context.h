#pragma once
// What every group needs to know, and the groups themselves.
#include <windows.h>

#include <string>

struct TestContext {
    std::string scrPath;        // the .scr under test, as a Windows path
    std::string testProgram;    // this program, which is also the shell probe
    std::string passwordModule; // the test password module (a DLL named PASSWORD.CPL when installed)
    std::string workDir;        // a scratch folder of this test run
};

// Exit codes of the .scr as GetExitCodeProcess reports them.
const DWORD ExitInvalid = 0xFFFFFFFFu; // -1
const DWORD WaitMs = 15000;

const char SaverClass[] = "WindowsScreenSaverClass";
const char SaverTitle[] = "Screen Saver";

// Starts the .scr full screen with the pointer parked at the screen's centre,
// which the saver takes as its reference point.
class SaverProcess;
HWND StartFullScreen(const TestContext& context, SaverProcess& saver, POINT& start, const char* arguments = "/s");

// A plain top-level window owned by this process, e.g. a preview's parent.
HWND MakeTestWindow(const char* title, int clientWidth, int clientHeight);

void RunCommandLineTests(const TestContext& context);
void RunWindowTests(const TestContext& context);
void RunClosingTests(const TestContext& context);
void RunPreviewTests(const TestContext& context);
void RunLegacyTests(const TestContext& context);
void RunAboutBoxTests(const TestContext& context);
void RunNoGlTests(const TestContext& context);
