// The .scr's command line, scanned by the very code it runs (no Wine needed).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/win32/command_line.h"

namespace {
struct Scan {
    const char* text;
    bool legacy;
    SaverAction action;
    std::uintptr_t window;
};

// Every spelling of each switch, the prefixes the scan skips, and what ends the program with -1.
const Scan Scans[] = {
    {"/s", false, SaverAction::FullScreen, 0},        {"-S", false, SaverAction::FullScreen, 0},
    {"s", false, SaverAction::FullScreen, 0},         {" /s", false, SaverAction::FullScreen, 0},
    {"/-/ S", false, SaverAction::FullScreen, 0},     {"/s garbage", false, SaverAction::FullScreen, 0},
    {"/p 1234", false, SaverAction::Preview, 1234},   {"/l 1234", false, SaverAction::Preview, 1234},
    {"/P1234", false, SaverAction::Preview, 1234},    {"/p", false, SaverAction::Preview, 0},
    {"/p -5", false, SaverAction::Preview, 0},        {"/c:1234", false, SaverAction::Configure, 1234},
    {"/c:12ab", false, SaverAction::Configure, 12},   {"/c 1234", false, SaverAction::Configure, 0},
    {"/c", false, SaverAction::Configure, 0},         {"", false, SaverAction::Settings, 0},
    {"  ", false, SaverAction::Settings, 0},          {"/x", false, SaverAction::Invalid, 0},
    {"/5", false, SaverAction::Invalid, 0},           {"/\ts", false, SaverAction::Invalid, 0},
    {"\x81s", false, SaverAction::Invalid, 0},        {"\xe9", false, SaverAction::Invalid, 0},
    {"/?", false, SaverAction::Invalid, 0},           {"/a 77", false, SaverAction::Invalid, 0},
    {"/a 77", true, SaverAction::ChangePassword, 77}, {"-A", true, SaverAction::ChangePassword, 0},
};
} // namespace

TEST(CommandLine, ScansEverySwitchAsTheSaverDoes)
{
    for (const Scan& scan : Scans) {
        const SaverCommand command = ScanCommandLine(scan.text, scan.legacy);
        EXPECT_EQ(command.action, scan.action) << '"' << scan.text << '"';
        EXPECT_EQ(command.window, scan.window) << '"' << scan.text << '"';
    }
}

TEST(CommandLine, SkipsTheProgramNameHoweverItIsWritten)
{
    const struct {
        const char* commandLine;
        const char* rest;
    } names[] = {{"\"C:\\My Savers\\Quorvelin.scr\" /s", "/s"}, {"\"C:\\x.scr\"/p 5", "/p 5"},
                 {"C:\\x.scr \t  /c:9", "/c:9"},                {"\xe9t\xe9.scr /s", "/s"},
                 {"\"unterminated /s", ""},                    {"x.scr", ""}};
    for (const auto& name : names)
        EXPECT_EQ(std::string(SkipProgramName(name.commandLine)), name.rest) << name.commandLine;
}

// A handle of the full width reads back whole; one past it wraps to 0 instead of overflowing.
TEST(CommandLine, ReadsWindowNumbersAsWideAsAHandle)
{
    const std::string largest = std::to_string(static_cast<unsigned long long>(UINTPTR_MAX));
    std::string pastLargest = largest;
    pastLargest.back() = static_cast<char>(pastLargest.back() + 1); // the maximum ends in 5 on both widths
    EXPECT_EQ(ParseWindowHandle(largest.c_str()), UINTPTR_MAX);
    EXPECT_EQ(ParseWindowHandle(pastLargest.c_str()), 0u);
    EXPECT_EQ(ParseWindowHandle("00042x7"), 42u);
}
