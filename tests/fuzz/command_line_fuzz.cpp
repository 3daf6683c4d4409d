// Fuzzes the .scr's own command-line scanner, the one input from outside,
// with arbitrary bytes: the program name skipped with a one-byte and a
// double-byte stepper, the switch scanned on both platform families, the
// window-handle digits read. Besides the sanitizers' findings, it stops on a
// rest outside the text, a window number where the switch takes none, or up
// to 19 digits not read as their decimal value.
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
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return c == 0 ? p : (lead && p[1] != '\0') ? p + 2 : p + 1;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckScan(const char* text)
{
    for (const bool legacy : {false, true}) {
        const SaverCommand command = ScanCommandLine(text, legacy);
        const SaverAction action = command.action;
        Check(command.window == 0 || action == SaverAction::Preview || action == SaverAction::Configure
              || action == SaverAction::ChangePassword);
        Check(legacy || action != SaverAction::ChangePassword);
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
        Check(rest >= begin && rest <= end && (*rest == '\0' || static_cast<unsigned char>(*rest) > ' '));
        CheckScan(rest);
    }
    CheckScan(begin);
    // From the start of every run of digits.
    for (const char* p = begin; p < end; ++p) {
        if (p != begin && p[-1] >= '0' && p[-1] <= '9')
            continue;
        std::size_t digits = 0;
        while (p[digits] >= '0' && p[digits] <= '9')
            ++digits;
        if (digits < 20 && sizeof(std::uintptr_t) == 8)
            Check(ParseWindowHandle(p) == std::strtoull(std::string(p, digits).c_str(), nullptr, 10));
    }
    return 0;
}
