// The settings box: its template, its colours, its links through the real
// shell, and how it closes.
#include <string>
#include <vector>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/test_context.h"

namespace {
const char BoxCaption[] = "Quorv-Saver Settings";

// For the length of the tests the shell opens web and mail links with this
// program's shell-probe mode, which writes each target to a log.
class LinkHandlers {
public:
    explicit LinkHandlers(const TestContext& context) : log_(context.workDir + "\\shell.log")
    {
        DeleteFileA(log_.c_str());
        std::string command = "\"" + context.testProgram + "\" shell-probe \"" + log_ + "\" \"%1\"";
        for (const char* scheme : {"http", "mailto"}) {
            std::string key = std::string(scheme) + "\\shell\\open\\command";
            saved_.push_back(Read(key));
            RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, command.c_str(), static_cast<DWORD>(command.size()));
        }
    }
    ~LinkHandlers()
    {
        int i = 0;
        for (const char* scheme : {"http", "mailto"}) {
            std::string key = std::string(scheme) + "\\shell\\open\\command";
            const std::string& old = saved_[i++];
            RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, old.c_str(), static_cast<DWORD>(old.size()));
        }
    }
    // The targets opened so far, one a line.
    std::string opened() const { return ReadFileText(log_); }
    // Waits until the log holds the given text, or the time is up.
    bool waitFor(const std::string& expected, DWORD timeoutMs) const
    {
        DWORD start = GetTickCount();
        while (opened() != expected && GetTickCount() - start < timeoutMs)
            PumpFor(100);
        return opened() == expected;
    }

private:
    static std::string Read(const std::string& key)
    {
        char value[1024] = {};
        LONG size = sizeof(value);
        if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS)
            return std::string();
        return value;
    }
    std::string log_;
    std::vector<std::string> saved_;
};

HWND OpenBox(const TestContext& context, SaverProcess& saver)
{
    if (!saver.start(context.scrPath, ""))
        return nullptr;
    HWND box = WaitForWindow("#32770", BoxCaption, WaitMs);
    if (box != nullptr) {
        SetForegroundWindow(box);
        PumpFor(300);
    }
    return box;
}

std::vector<HWND> Controls(HWND box)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    return controls;
}

void Template(HWND box)
{
    LONG style = GetWindowLongA(box, GWL_STYLE);
    const LONG wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    CHECK((style & wanted) == wanted);
    CHECK((style & (WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);

    struct Expected {
        int id;
        const char* className;
        LONG styleBits;
    };
    const Expected expected[5] = {
        {IDOK, "Button", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {-1, "Static", WS_VISIBLE | WS_GROUP | SS_LEFT},
        {1001, "Static", WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOTIFY},
        {-1, "Static", WS_VISIBLE | WS_GROUP | SS_LEFT},
        {1002, "Static", WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOTIFY},
    };
    std::vector<HWND> controls = Controls(box);
    CHECK_EQ(5u, controls.size());
    for (size_t i = 0; i < controls.size() && i < 5; ++i) {
        HWND control = controls[i];
        // The template stores 16-bit identifiers: -1 reads back as 0xFFFF.
        CHECK_MSG((GetDlgCtrlID(control) & 0xFFFF) == (expected[i].id & 0xFFFF),
                  "control " + std::to_string(i) + " has the wrong id");
        CHECK_MSG(_stricmp(ClassName(control).c_str(), expected[i].className) == 0,
                  "control " + std::to_string(i) + " is a " + ClassName(control));
        LONG controlStyle = GetWindowLongA(control, GWL_STYLE);
        CHECK_MSG((controlStyle & expected[i].styleBits) == expected[i].styleBits,
                  "control " + std::to_string(i) + " lacks a style bit");
        // Only the button is a tab stop; only the links report clicks.
        if (i != 0)
            CHECK_MSG((controlStyle & (WS_TABSTOP | SS_NOTIFY)) == (expected[i].styleBits & SS_NOTIFY),
                      "control " + std::to_string(i) + " has a tab stop or notifies without being a link");
    }
    if (controls.size() == 5) {
        CHECK(WindowText(controls[0]) == "OK");
        CHECK(WindowText(controls[1]) == "Quorvelin - Saver");
        CHECK(WindowText(controls[3]) == "programmed by: Ruk");
        // The links' own texts: the site as a web address, the mail address without a scheme.
        std::string site = WindowText(controls[2]);
        std::string mail = WindowText(controls[4]);
        CHECK(site.rfind("http://", 0) == 0 && site.find(".example/") != std::string::npos);
        CHECK(mail.find('@') != std::string::npos && mail.find(':') == std::string::npos &&
              mail.size() > 8 && mail.compare(mail.size() - 8, 8, ".example") == 0);
    }
}

bool IsLinkBlue(const Rgb& c) { return c.b > 200 && c.r < 60 && c.g < 60; }
bool IsDarkText(const Rgb& c) { return c.r < 90 && c.g < 90 && c.b < 90; }

// Only the two link texts are blue; the labels are drawn in the default dark text colour.
void Colours(HWND box, const TestContext& context)
{
    std::vector<HWND> controls = Controls(box);
    if (controls.size() != 5)
        return;
    PumpFor(300);
    ScreenCapture shot;
    CHECK(shot.take());
    shot.saveBmp(context.workDir + "\\wine-about.bmp");
    auto area = [](HWND control) {
        RECT r = {};
        GetWindowRect(control, &r);
        return r;
    };
    CHECK_MSG(shot.count(area(controls[2]), IsLinkBlue) > 20, "the web link is not blue");
    CHECK_MSG(shot.count(area(controls[4]), IsLinkBlue) > 20, "the mail link is not blue");
    for (size_t label : {1u, 3u}) {
        CHECK_MSG(shot.count(area(controls[label]), IsLinkBlue) == 0, "a plain label is blue");
        CHECK_MSG(shot.count(area(controls[label]), IsDarkText) > 20, "a plain label shows no text");
    }
}

void Click(HWND control)
{
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

// A click opens the link's own text through the shell and leaves the box open; so does every further click.
void Links(HWND box, SaverProcess& saver, const LinkHandlers& handlers)
{
    HWND site = GetDlgItem(box, 1001);
    HWND mail = GetDlgItem(box, 1002);
    std::string siteTarget = WindowText(site);
    std::string mailTarget = "mailto:" + WindowText(mail);
    Click(site);
    CHECK_MSG(handlers.waitFor(siteTarget + "\n", WaitMs), "the web link opened: " + handlers.opened());
    Click(mail);
    CHECK_MSG(handlers.waitFor(siteTarget + "\n" + mailTarget + "\n", WaitMs), "the mail link opened: " + handlers.opened());
    Click(site);
    CHECK_MSG(handlers.waitFor(siteTarget + "\n" + mailTarget + "\n" + siteTarget + "\n", WaitMs),
              "a second click opened: " + handlers.opened());
    CHECK(saver.running());
    CHECK(IsWindow(box));
}

// OK and Enter end the box with 1; Escape and the caption's close button with 2.
void Closing(const TestContext& context)
{
    struct Case {
        const char* what;
        DWORD expected;
        void (*act)(HWND box);
    };
    const Case cases[] = {
        {"Enter", 1, [](HWND) { SendKey(VK_RETURN); }},
        {"the OK button", 1, [](HWND box) { SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }},
        {"Escape", 2, [](HWND) { SendKey(VK_ESCAPE); }},
        {"the close button", 2, [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Case& c : cases) {
        SaverProcess saver;
        HWND box = OpenBox(context, saver);
        CHECK_MSG(box != nullptr, std::string("no box to close with ") + c.what);
        if (box == nullptr)
            continue;
        c.act(box);
        DWORD code = saver.waitExit(WaitMs);
        CHECK_MSG(code == c.expected, std::string(c.what) + " ended the box with " + std::to_string(code));
    }
}
} // namespace

void RunAboutBoxTests(const TestContext& context)
{
    {
        LinkHandlers handlers(context);
        SaverProcess saver;
        HWND box = OpenBox(context, saver);
        CHECK(box != nullptr);
        if (box != nullptr) {
            CHECK(GetWindow(box, GW_OWNER) == nullptr);
            Template(box);
            Colours(box, context);
            Links(box, saver, handlers);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            CHECK_EQ(1u, saver.waitExit(WaitMs));
        }
    }
    Closing(context);
}
