#pragma once
// The saver's command line, read without touching the system: the very code
// the .scr runs, callable from tests and fuzzers on any platform.
#include <cstdint>

enum class SaverAction {
    Settings,       // no switch at all: the settings box without a parent
    Configure,      // C: the settings box over a given or the foreground window
    FullScreen,     // S
    Preview,        // P or L: a child of the given window
    ChangePassword, // A: the password-change dialog (Windows 95 family only)
    Invalid         // anything else: the program ends with -1
};

struct SaverCommand {
    SaverAction action = SaverAction::Invalid;
    // The window number that followed the switch; 0 when there was none.
    std::uintptr_t window = 0;
};

// Steps one character; the .scr passes the system's multibyte-aware stepper.
using NextCharFn = const char* (*)(const char*);

// Returns the text after the program name and the blanks that follow it.
const char* SkipProgramName(const char* commandLine, NextCharFn nextChar = nullptr);

// Reads decimal digits into a handle value. Arithmetic is unsigned and as wide
// as a handle, so a long digit string wraps instead of overflowing.
std::uintptr_t ParseWindowHandle(const char* text);

// Reads the first switch of the text after the program name.
SaverCommand ScanCommandLine(const char* text, bool legacyPlatform);
