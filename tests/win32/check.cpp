#include "tests/win32/check.h"

namespace {
int Passed = 0;
int Failed = 0;
} // namespace

void RecordCheck(bool passed, const char* file, int line, const std::string& what)
{
    if (passed) {
        ++Passed;
        return;
    }
    ++Failed;
    std::printf("FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

int CheckSummary()
{
    std::printf("%d passed, %d failed\n", Passed, Failed);
    std::fflush(stdout);
    return (Failed == 0 && Passed > 0) ? 0 : 1;
}
