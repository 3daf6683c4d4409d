#include "host/win32/command_line.h"

namespace {
const char* StepOne(const char* p) { return p + 1; }

// Unsigned compare, so bytes of 0x80 and above count as text, not as blanks.
bool IsAboveSpace(char c) { return static_cast<unsigned char>(c) > ' '; }

const char* SkipSpaces(const char* p)
{
    while (*p == ' ')
        ++p;
    return p;
}
} // namespace

const char* SkipProgramName(const char* commandLine, NextCharFn nextChar)
{
    if (nextChar == nullptr)
        nextChar = StepOne;
    const char* p = commandLine;
    if (*p == '"') {
        p = nextChar(p);
        while (*p != '\0' && *p != '"')
            p = nextChar(p);
        if (*p == '"')
            p = nextChar(p);
    } else {
        while (IsAboveSpace(*p))
            p = nextChar(p);
    }
    while (*p != '\0' && !IsAboveSpace(*p))
        p = nextChar(p);
    return p;
}

std::uintptr_t ParseWindowHandle(const char* text)
{
    std::uintptr_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<std::uintptr_t>(*p - '0');
    return value;
}

SaverCommand ScanCommandLine(const char* text, bool legacyPlatform)
{
    SaverCommand command;
    for (const char* p = text;; ++p) {
        switch (static_cast<signed char>(*p)) {
        case ' ':
        case '-':
        case '/':
            continue;
        case '\0':
            command.action = SaverAction::Settings;
            return command;
        case 'S':
        case 's':
            command.action = SaverAction::FullScreen;
            return command;
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            command.action = SaverAction::Preview;
            command.window = ParseWindowHandle(SkipSpaces(p + 1));
            return command;
        case 'C':
        case 'c':
            command.action = SaverAction::Configure;
            if (p[1] == ':')
                command.window = ParseWindowHandle(p + 2);
            return command;
        case 'A':
        case 'a':
            if (!legacyPlatform)
                return command;
            command.action = SaverAction::ChangePassword;
            command.window = ParseWindowHandle(SkipSpaces(p + 1));
            return command;
        default:
            return command;
        }
    }
}
