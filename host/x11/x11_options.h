#pragma once
#include <string>

// How the X11 program was asked to run: its command line, read without
// touching the display so that every case can be checked on its own.
struct X11Options {
    enum class Mode {
        Window,     // its own resizable, titled window (the default)
        Fullscreen, // a full-screen window that closes on input, as the Windows saver does
        Root,       // the root window, or the daemon's window named by XSCREENSAVER_WINDOW
        WindowId,   // a window someone else made, such as a settings tool's preview pane
    };

    Mode mode = Mode::Window;
    unsigned long windowId = 0; // only for Mode::WindowId
    int fps = 64;               // ticks per second: about the Windows host's shortest timer
    bool help = false;
    bool version = false;
};

// The outcome of reading a command line: the options, or a one-line error
// (without the program name) when the line cannot be used.
struct X11OptionsResult {
    X11Options options;
    std::string error;

    bool ok() const { return error.empty(); }
};

// Reads the arguments after the program name. A mode flag given twice
// counts the last time; --help and --version win over everything else that
// is valid.
X11OptionsResult ParseX11Options(int argc, const char* const* argv);

// A window id as daemons and tools pass it: decimal, or hexadecimal after
// 0x. Zero, signs, blanks, trailing text and values no X server hands out
// (above 29 bits) are refused.
bool ParseWindowId(const std::string& text, unsigned long& id);

// The texts --help and --version print.
extern const char* const X11Usage;
extern const char* const X11Version;
