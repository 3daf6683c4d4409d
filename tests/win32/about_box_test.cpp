// The settings box: its owner for each switch, its colours, its links through
// the real shell, and each way of closing it. The last screenshot stays in the
// work folder (about-box.ppm).
#include "tests/win32/harness.h"

namespace {
// For the length of the group the shell's web and mail handlers are this
// program's shell-probe mode, which writes each target it is given to a log.
// (Wine reads them from the machine's classes only.)
class LinkHandlers {
public:
    explicit LinkHandlers(const TestContext& context) : log(context.workDir + "\\shell.log")
    {
        DeleteFileA(log.c_str());
        const std::string command = "\"" + context.testProgram + "\" shell-probe \"" + log + "\" \"%1\"";
        for (int i = 0; i < 2; ++i) {
            LONG size = sizeof(saved[i]);
            RegQueryValueA(HKEY_CLASSES_ROOT, Keys[i], saved[i], &size);
            RegSetValueA(HKEY_CLASSES_ROOT, Keys[i], REG_SZ, command.c_str(), 0);
        }
    }
    ~LinkHandlers()
    {
        for (int i = 0; i < 2; ++i)
            RegSetValueA(HKEY_CLASSES_ROOT, Keys[i], REG_SZ, saved[i], 0);
    }
    // Clicks a link, then waits for the log to read as expected.
    bool click(HWND link, const std::string& expected) const
    {
        PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        return WaitUntil(WaitMs, [&] { return ReadFileText(log) == expected; });
    }

private:
    static constexpr const char* Keys[2] = {"http\\shell\\open\\command", "mailto\\shell\\open\\command"};
    const std::string log;
    char saved[2][1024] = {};
};

bool IsLinkBlue(const Rgb& c) { return c.b > 200 && c.r < 60 && c.g < 60; }
bool IsDarkText(const Rgb& c) { return c.r < 90 && c.g < 90 && c.b < 90; }

// Only the two links (the web site, 1001, and the mail address, 1002) are
// blue; the labels keep the default dark text. A link opens its own text
// through the shell and leaves the box open, at every click.
void LinksAndLabels(HWND box, const TestContext& context)
{
    PumpFor(300);
    const Screenshot shot = TakeScreenshot();
    shot.save(context.workDir + "\\about-box.ppm");
    int labels = 0;
    for (HWND control = GetWindow(box, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT area = {};
        GetWindowRect(control, &area);
        const int id = GetDlgCtrlID(control);
        if (id == 1001 || id == 1002)
            CHECK_MSG(shot.count(area, IsLinkBlue) > 20, "a link is not blue: " + WindowText(control));
        else if (id != IDOK && ++labels)
            CHECK_MSG(shot.count(area, IsLinkBlue) == 0 && shot.count(area, IsDarkText) > 20,
                      "a label is not dark text: " + WindowText(control));
    }
    CHECK(labels == 2);
    const std::string site = WindowText(GetDlgItem(box, 1001)) + "\n";
    const std::string mail = "mailto:" + WindowText(GetDlgItem(box, 1002)) + "\n";
    const LinkHandlers links(context);
    CHECK_MSG(links.click(GetDlgItem(box, 1001), site), "the web link opened no site");
    CHECK_MSG(links.click(GetDlgItem(box, 1002), site + mail), "the mail link opened no mail");
    CHECK_MSG(links.click(GetDlgItem(box, 1001), site + mail + site), "a second click opened nothing");
    CHECK(IsWindow(box));
}
} // namespace

// The owner: the given window, else the foreground window, and none without
// a switch. OK and Enter end the box with 1, Escape and the caption's close
// button with 2.
void RunAboutBoxTests(const TestContext& context)
{
    HWND foreground = MakeTestWindow("Quorvelin test foreground");
    HWND given = MakeTestWindow("Quorvelin test given");
    const struct {
        std::string arguments;
        HWND owner;
        DWORD code;
        void (*close)(HWND box);
    } cases[] = {
        {"", nullptr, 1, [](HWND box) { SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }},
        {"/c:" + Number(given), given, 1, [](HWND) { SendKey(VK_RETURN); }},
        {"/c " + Number(given), foreground, 2, [](HWND) { SendKey(VK_ESCAPE); }},
        {"/c", foreground, 2, [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"/c:99999999", foreground, 1, [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }},
    };
    for (const auto& c : cases) {
        SetForegroundWindow(foreground);
        PumpFor(200);
        SaverProcess saver;
        saver.start(context.scrPath, c.arguments);
        HWND box = WaitForWindow("#32770", BoxCaption);
        CHECK_MSG(box != nullptr && GetWindow(box, GW_OWNER) == c.owner, "the box's owner for \"" + c.arguments + "\"");
        SetForegroundWindow(box);
        PumpFor(300);
        if (c.owner == nullptr)
            LinksAndLabels(box, context);
        c.close(box);
        CHECK_EXIT(saver, c.code, "the box of \"" + c.arguments + "\"");
    }
    DestroyWindow(given);
    DestroyWindow(foreground);
}
