#include "host/linux/linux_options.h"

#include <cstring>

namespace {
constexpr unsigned long kLargestXid = 0x1FFFFFFFul;
constexpr int kLargestFps = 1000;

bool ParseDigits(const std::string& text, std::size_t start, int base, unsigned long limit, unsigned long& value)
{
    if (start >= text.size())
        return false;
    unsigned long result = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        unsigned long digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned long>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned long>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned long>(c - 'A' + 10);
        else
            return false;
        if (result > (limit - digit) / static_cast<unsigned long>(base))
            return false;
        result = result * static_cast<unsigned long>(base) + digit;
    }
    value = result;
    return true;
}

// Splits "--name=value" so that both spellings of an option with a value work.
bool SplitInlineValue(const std::string& arg, const char* name, std::string& value)
{
    const std::size_t length = std::strlen(name);
    if (arg.compare(0, length, name) != 0 || arg.size() <= length || arg[length] != '=')
        return false;
    value = arg.substr(length + 1);
    return true;
}
// The display system a mode exists on; Any for the modes both have.
LinuxOptions::Display NeededDisplay(LinuxOptions::Mode mode)
{
    switch (mode) {
    case LinuxOptions::Mode::Background:
        return LinuxOptions::Display::Wayland;
    case LinuxOptions::Mode::Root:
    case LinuxOptions::Mode::WindowId:
        return LinuxOptions::Display::X11;
    default:
        return LinuxOptions::Display::Any;
    }
}

const char* ModeFlag(LinuxOptions::Mode mode)
{
    switch (mode) {
    case LinuxOptions::Mode::Background:
        return "--background";
    case LinuxOptions::Mode::Root:
        return "--root";
    default:
        return "--window-id";
    }
}

const char* DisplayName(LinuxOptions::Display display)
{
    return display == LinuxOptions::Display::Wayland ? "Wayland" : "X11";
}
} // namespace

const char* const LinuxWindowTitle = "Quorvelin-Saver";

const char* const LinuxUsage =
    "Usage: quorvelin [MODE] [--x11 | --wayland] [--fps N]\n"
    "Plays the Quorvelin-Saver show with OpenGL on a Wayland compositor (where\n"
    "WAYLAND_DISPLAY is set) or an X display.\n"
    "\n"
    "Modes (the last one given counts):\n"
    "  --window             in a resizable window of its own (default);\n"
    "                       Escape, q or closing the window ends it\n"
    "  --fullscreen         full screen on every monitor with the pointer hidden; any\n"
    "                       key, mouse button or a pointer movement of more than\n"
    "                       4 pixels ends it (for idle daemons such as swayidle)\n"
    "  --background         Wayland: a live wallpaper under the windows on every\n"
    "                       monitor, taking no input (compositors with the layer shell)\n"
    "  --root, -root        X11: on the root window, or on the window named by the\n"
    "                       XSCREENSAVER_WINDOW environment variable (screen-saver daemons)\n"
    "  --window-id N, -window-id N\n"
    "                       X11: in the existing window N (decimal or 0x hexadecimal),\n"
    "                       following its size (preview panes)\n"
    "In --background, --root and --window-id input is left to others; SIGTERM or\n"
    "SIGINT ends the show.\n"
    "\n"
    "Options:\n"
    "  --x11, --wayland     use that display system whatever the session says\n"
    "  --fps N              frames per second, 1 to 1000 (default 64); the\n"
    "                       animation advances by one step per frame\n"
    "  --help               show this text\n"
    "  --version            show the program's version\n";

const char* const LinuxVersion = "quorvelin (Quorvelin-Saver) " QUORVELIN_VERSION "\n";

bool ParseWindowId(const std::string& text, unsigned long& id)
{
    unsigned long value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ParseDigits(text, hex ? 2 : 0, hex ? 16 : 10, kLargestXid, value) || value == 0)
        return false;
    id = value;
    return true;
}

LinuxOptionsResult ParseLinuxOptions(int argc, const char* const* argv)
{
    LinuxOptionsResult result;
    LinuxOptions& options = result.options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i] != nullptr ? argv[i] : "";
        std::string value;
        bool hasValue = false;
        std::string name = arg;
        if (SplitInlineValue(arg, "--window-id", value) || SplitInlineValue(arg, "-window-id", value)
            || SplitInlineValue(arg, "--fps", value)) {
            name = arg.substr(0, arg.find('='));
            hasValue = true;
        }

        if (name == "--help" || name == "-help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--window") {
            options.mode = LinuxOptions::Mode::Window;
        } else if (name == "--fullscreen") {
            options.mode = LinuxOptions::Mode::Fullscreen;
        } else if (name == "--background") {
            options.mode = LinuxOptions::Mode::Background;
        } else if (name == "--x11") {
            options.display = LinuxOptions::Display::X11;
        } else if (name == "--wayland") {
            options.display = LinuxOptions::Display::Wayland;
        } else if (name == "--root" || name == "-root") {
            options.mode = LinuxOptions::Mode::Root;
        } else if (name == "--window-id" || name == "-window-id" || name == "--fps") {
            if (!hasValue) {
                if (i + 1 >= argc || argv[i + 1] == nullptr) {
                    result.error = name + " needs a value";
                    return result;
                }
                value = argv[++i];
            }
            if (name == "--fps") {
                unsigned long fps = 0;
                if (!ParseDigits(value, 0, 10, kLargestFps, fps) || fps == 0) {
                    result.error = "bad frame rate '" + value + "' (want 1 to 1000)";
                    return result;
                }
                options.fps = static_cast<int>(fps);
            } else {
                if (!ParseWindowId(value, options.windowId)) {
                    result.error = "bad window id '" + value + "' (want a decimal or 0x hexadecimal X window id)";
                    return result;
                }
                options.mode = LinuxOptions::Mode::WindowId;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            result.error = "unknown option '" + arg + "'";
            return result;
        } else {
            result.error = "unexpected argument '" + arg + "'";
            return result;
        }
    }
    const LinuxOptions::Display needed = NeededDisplay(options.mode);
    if (needed != LinuxOptions::Display::Any && options.display != LinuxOptions::Display::Any
        && options.display != needed && !options.help && !options.version) {
        result.error = std::string(ModeFlag(options.mode)) + " is " + DisplayName(needed) + " only and cannot run with "
                       + (options.display == LinuxOptions::Display::X11 ? "--x11" : "--wayland");
        return result;
    }
    return result;
}

LinuxOptions::Display ChooseDisplay(const LinuxOptions& options, const char* waylandDisplay)
{
    const LinuxOptions::Display needed = NeededDisplay(options.mode);
    if (needed != LinuxOptions::Display::Any)
        return needed;
    if (options.display != LinuxOptions::Display::Any)
        return options.display;
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    return wayland ? LinuxOptions::Display::Wayland : LinuxOptions::Display::X11;
}
