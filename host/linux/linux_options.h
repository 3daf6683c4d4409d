#pragma once
#include <string>

// How the Linux program was asked to run: its command line, read without
// touching a display so that every case can be checked on its own.
struct LinuxOptions {
    enum class Mode {
        Window,     // its own resizable, titled window (the default)
        Fullscreen, // full screen on every monitor, closing on input, as the Windows saver does
        Background, // Wayland: a live wallpaper in the compositor's background layer
        Root,       // X11: the root window, or the daemon's window named by XSCREENSAVER_WINDOW
        WindowId,   // X11: a window someone else made, such as a settings tool's preview pane
    };
    // The display system asked for on the command line; Any follows the session.
    enum class Display { Any, X11, Wayland };

    Mode mode = Mode::Window;
    Display display = Display::Any;
    unsigned long windowId = 0; // only for Mode::WindowId
    int fps = 64;               // ticks per second: about the Windows host's shortest timer
    bool help = false;
    bool version = false;
};

// The outcome of reading a command line: the options, or a one-line error
// (without the program name) when the line cannot be used.
struct LinuxOptionsResult {
    LinuxOptions options;
    std::string error;

    bool ok() const { return error.empty(); }
};

// Reads the arguments after the program name. A mode flag given twice
// counts the last time; --help and --version win over everything else that
// is valid. A mode that only one display system has, beside a flag forcing
// the other, is an error.
LinuxOptionsResult ParseLinuxOptions(int argc, const char* const* argv);

// Which host runs: the one the mode needs (--root and --window-id are X11's,
// since a daemon may start them in a session that also runs Wayland;
// --background is Wayland's), else the forced one, else Wayland where
// WAYLAND_DISPLAY names a compositor and X11 otherwise.
LinuxOptions::Display ChooseDisplay(const LinuxOptions& options, const char* waylandDisplay);

// A window id as daemons and tools pass it: decimal, or hexadecimal after
// 0x. Zero, signs, blanks, trailing text and values no X server hands out
// (above 29 bits) are refused.
bool ParseWindowId(const std::string& text, unsigned long& id);

// The program's own window on either display system: its title and the
// size it asks for first.
extern const char* const LinuxWindowTitle;
constexpr int kLinuxWindowWidth = 800;
constexpr int kLinuxWindowHeight = 600;

// The texts --help and --version print.
extern const char* const LinuxUsage;
extern const char* const LinuxVersion;
