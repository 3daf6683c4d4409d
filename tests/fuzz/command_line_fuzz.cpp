// Fuzzes the .scr's own command-line scanner with arbitrary bytes: the program
// name skipped with a one-byte and a double-byte stepper, the switch scanned on
// both platform families, and the window-handle digits read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/win32/command_line.h"

namespace {
// Behaves as the system's stepper does under a double-byte code page: a lead
// byte takes its trail byte with it, and the terminator is never passed.
const char* NextDoubleByte(const char* p)
{
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == 0)
        return p;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return (lead && p[1] != '\0') ? p + 2 : p + 1;
}

bool IsSwitchFiller(char c) { return c == ' ' || c == '-' || c == '/'; }

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckScan(const char* text, bool legacy)
{
    const SaverCommand command = ScanCommandLine(text, legacy);
    const char* first = text;
    while (IsSwitchFiller(*first))
        ++first;
    switch (command.action) {
    case SaverAction::Settings:
        // Only blanks, dashes and slashes before the end.
        Check(*first == '\0' && command.window == 0);
        break;
    case SaverAction::FullScreen:
        Check((*first == 's' || *first == 'S') && command.window == 0);
        break;
    case SaverAction::Preview:
        Check(*first == 'p' || *first == 'P' || *first == 'l' || *first == 'L');
        break;
    case SaverAction::Configure:
        Check(*first == 'c' || *first == 'C');
        // A handle is read only after a colon right behind the letter.
        Check(first[1] == ':' || command.window == 0);
        break;
    case SaverAction::ChangePassword:
        Check(legacy && (*first == 'a' || *first == 'A'));
        break;
    case SaverAction::Invalid:
        Check(command.window == 0);
        break;
    default:
        Check(false);
    }
}

void CheckHandle(const char* text)
{
    const std::uintptr_t value = ParseWindowHandle(text);
    std::size_t digits = 0;
    while (text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0) {
        Check(value == 0);
    } else if (digits < 20) {
        // Up to 19 digits fit in 64 bits: the value must be the plain decimal one.
        const std::string number(text, digits);
        Check(static_cast<unsigned long long>(value) == std::strtoull(number.c_str(), nullptr, 10) ||
              sizeof(std::uintptr_t) < 8);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The system hands over a terminated string; an embedded NUL just ends it early.
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    const char* begin = line.data();
    const char* end = begin + size;

    for (NextCharFn step : {NextCharFn(nullptr), NextCharFn(NextDoubleByte)}) {
        const char* rest = SkipProgramName(begin, step);
        Check(rest >= begin && rest <= end);
        Check(*rest == '\0' || static_cast<unsigned char>(*rest) > ' ');
        CheckScan(rest, false);
        CheckScan(rest, true);
    }
    CheckScan(begin, false);
    CheckScan(begin, true);
    // From the start of every run of digits (and from the first byte).
    for (const char* p = begin; p < end; ++p) {
        if (p == begin || !(p[-1] >= '0' && p[-1] <= '9'))
            CheckHandle(p);
    }
    return 0;
}
