#pragma once
// One run of the .scr under test: started with a command line, waited for
// while this process keeps pumping its own messages (a preview's parent and
// the settings box's owner live here), and ended if a test leaves it running.
#include <windows.h>

#include <string>

class SaverProcess {
public:
    SaverProcess() = default;
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess();

    // The arguments follow the program name, e.g. "/s" or "/p 1234".
    bool start(const std::string& scrPath, const std::string& arguments, const char* workDir = nullptr);
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD waitExit(DWORD timeoutMs);
    bool running();
    void kill();

private:
    PROCESS_INFORMATION info = {};
};

// Handles this process's own messages for the given time.
void PumpFor(DWORD ms);

// Polls (while pumping) until found or the time is up.
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs);
HWND WaitForChild(HWND parent, const char* className, DWORD timeoutMs);

// Real input through the system's queue: a key pressed and released.
void SendKey(WORD key);
// Moves the real pointer and lets the saver see a mouse message, as the system would send.
void MovePointer(HWND window, int x, int y);

// A whole small text file; empty when it does not exist.
std::string ReadFileText(const std::string& path);

// Unix paths from CTest become Wine's Z: drive paths.
std::string ToWindowsPath(const std::string& path);
std::string WindowText(HWND window);
std::string ClassName(HWND window);
