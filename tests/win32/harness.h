#pragma once
// The Windows tier's one harness: checks, the .scr as a process, waiting while
// this program keeps pumping its own messages (a preview's parent and the
// settings box's owner live here), input and screenshots. (GoogleTest does not
// exist for the cross toolchain.)
#include <windows.h>

#include <string>
#include <vector>

void RecordCheck(bool passed, const char* file, int line, const std::string& what);
// Prints "N passed, N failed"; 0 only when checks ran and none failed.
int CheckSummary();
#define CHECK(condition) RecordCheck(static_cast<bool>(condition), __FILE__, __LINE__, #condition)
#define CHECK_MSG(condition, message) RecordCheck(static_cast<bool>(condition), __FILE__, __LINE__, (message))
// The saver ends within WaitMs with the exit code (-1 reads 0xFFFFFFFF; STILL_ACTIVE when it did not end).
#define CHECK_EXIT(saver, code, what) CheckExit((saver).waitExit(WaitMs), (code), (what), __FILE__, __LINE__)
void CheckExit(DWORD got, DWORD expected, const std::string& what, const char* file, int line);

const DWORD WaitMs = 15000;
const DWORD SettleMs = 700; // long enough for a close request to have ended the saver
const char SaverClass[] = "WindowsScreenSaverClass";
const char SaverTitle[] = "Screen Saver";
const char BoxCaption[] = "Quorv-Saver Settings";

struct TestContext {
    std::string scrPath;        // the .scr under test, as a Windows path
    std::string testProgram;    // this program, which is also the shell's link handler
    std::string passwordModule; // the stand-in password module
    std::string workDir;        // a scratch folder of this run
};

class SaverProcess {
public:
    SaverProcess() = default;
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess() { kill(); }
    // Ends a run still going, then starts the .scr with the arguments after its
    // quoted name, e.g. "/s" or "/p 1234".
    bool start(const std::string& scrPath, const std::string& arguments, const char* workDir = nullptr);
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD waitExit(DWORD timeoutMs);
    bool running() const { return info.hProcess != nullptr && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
    HANDLE handle() const { return info.hProcess; }
    void kill();

private:
    PROCESS_INFORMATION info = {};
};

// Handles this process's own messages for the given time.
void PumpFor(DWORD ms);
// Polls, pumping, until the test holds or the time is up; says whether it held.
template <typename Test>
bool WaitUntil(DWORD timeoutMs, Test test)
{
    for (const DWORD start = GetTickCount(); !test(); PumpFor(20))
        if (GetTickCount() - start >= timeoutMs)
            return false;
    return true;
}
HWND WaitForWindow(const char* className, const char* title);
// The saver's child of the window, once creation has made it visible.
HWND WaitForChild(HWND parent);

// Real input through the system's queue: a key pressed and released.
void SendKey(WORD key);
// Moves the real pointer and lets the saver see a mouse message, as the system would send.
void MovePointer(HWND window, int x, int y);
// Starts the .scr full screen with the pointer parked at the screen's centre
// (its reference point); returns once its window is shown and in front, and
// the first frames have passed.
HWND StartFullScreen(const std::string& scrPath, SaverProcess& saver, POINT& start, const char* arguments = "/s",
                     const char* workDir = nullptr);
// A plain top-level window of this process, e.g. a preview's parent or a settings page.
HWND MakeTestWindow(const char* title, WNDPROC procedure = DefWindowProcA);

std::string ReadFileText(const std::string& path);
// A window's text, or with GetClassNameA its class.
std::string WindowText(HWND window, int(WINAPI* read)(HWND, LPSTR, int) = GetWindowTextA);
std::string Number(HWND window); // as a command line gives a window

struct Rgb {
    int r, g, b;
};
// The screen as the user sees it, copied with GDI.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // top-down rows
    // A rectangle given in fractions of the screen.
    RECT area(double left, double top, double right, double bottom) const;
    // How many pixels of the rectangle the test accepts.
    int count(const RECT& area, bool (*test)(const Rgb&)) const;
    // As a binary PPM, for a person to look at.
    void save(const std::string& path) const;
};
Screenshot TakeScreenshot();

// Puts back what the legacy group changes in the prefix, in case a run died half-way.
void UndoLegacyPlatform();

void RunWindowTests(const TestContext& context);
void RunClosingTests(const TestContext& context);
void RunPreviewTests(const TestContext& context);
void RunLegacyTests(const TestContext& context);
void RunAboutBoxTests(const TestContext& context);
void RunNoGlTests(const TestContext& context);
void RunStormTests(const TestContext& context);
void RunModeTests(const TestContext& context);
