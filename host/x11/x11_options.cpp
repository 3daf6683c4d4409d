#include "host/x11/x11_options.h"

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
} // namespace

const char* const X11Usage =
    "Usage: quorvelin [MODE] [--fps N]\n"
    "Plays the Quorvelin-Saver show with OpenGL on an X display.\n"
    "\n"
    "Modes (the last one given counts):\n"
    "  --window             in a resizable window of its own (default);\n"
    "                       Escape, q or closing the window ends it\n"
    "  --fullscreen         full screen with the pointer hidden; any key, mouse\n"
    "                       button or a pointer movement of more than 4 pixels ends it\n"
    "  --root, -root        on the root window, or on the window named by the\n"
    "                       XSCREENSAVER_WINDOW environment variable (screen-saver daemons)\n"
    "  --window-id N, -window-id N\n"
    "                       in the existing window N (decimal or 0x hexadecimal),\n"
    "                       following its size (preview panes)\n"
    "In --root and --window-id input is left to the window's owner; SIGTERM or\n"
    "SIGINT ends the show.\n"
    "\n"
    "Options:\n"
    "  --fps N              frames per second, 1 to 1000 (default 64); the\n"
    "                       animation advances by one step per frame\n"
    "  --help               show this text\n"
    "  --version            show the program's version\n";

const char* const X11Version = "quorvelin (Quorvelin-Saver) " QUORVELIN_VERSION "\n";

bool ParseWindowId(const std::string& text, unsigned long& id)
{
    unsigned long value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (!ParseDigits(text, hex ? 2 : 0, hex ? 16 : 10, kLargestXid, value) || value == 0)
        return false;
    id = value;
    return true;
}

X11OptionsResult ParseX11Options(int argc, const char* const* argv)
{
    X11OptionsResult result;
    X11Options& options = result.options;
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
            options.mode = X11Options::Mode::Window;
        } else if (name == "--fullscreen") {
            options.mode = X11Options::Mode::Fullscreen;
        } else if (name == "--root" || name == "-root") {
            options.mode = X11Options::Mode::Root;
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
                options.mode = X11Options::Mode::WindowId;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            result.error = "unknown option '" + arg + "'";
            return result;
        } else {
            result.error = "unexpected argument '" + arg + "'";
            return result;
        }
    }
    return result;
}
