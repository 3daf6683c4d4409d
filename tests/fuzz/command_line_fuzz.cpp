// Fuzzes the .scr's own command-line scanner, the one input from outside,
// with arbitrary bytes: the program name skipped with a one-byte and a
// double-byte stepper, the switch scanned on both platform families, the
// window-handle digits read from every place. Besides the sanitizers'
// findings, it stops on a rest outside the text or a password change off the
// legacy platform; what the digits and switches mean is the unit tests' to check.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

// The password change is the legacy platform's only.
void CheckScan(const char* text)
{
    for (const bool legacy : {false, true})
        Check(legacy || ScanCommandLine(text, legacy).action != SaverAction::ChangePassword);
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
    for (const char* p = begin; p < end; ++p)
        if (p == begin || !std::isdigit(static_cast<unsigned char>(p[-1])))
            ParseWindowHandle(p);
    return 0;
}
