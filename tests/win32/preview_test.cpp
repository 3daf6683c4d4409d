// The preview: a child of a window this program owns, as the display
// settings' preview box would be. It never closes on input; it ends with its parent.
#include <cstdint>
#include <string>

#include "tests/win32/check.h"
#include "tests/win32/saver_process.h"
#include "tests/win32/test_context.h"

namespace {
struct ForwardedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
ForwardedMessage LastForwarded;
WNDPROC PlainParentProc = nullptr;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU || message == WM_HELP)
        LastForwarded = ForwardedMessage{message, wParam, lParam};
    return CallWindowProcA(PlainParentProc, window, message, wParam, lParam);
}

void ChildWindow(HWND parent, HWND child)
{
    CHECK(ClassName(child) == SaverClass);
    CHECK(WindowText(child) == "Preview");
    CHECK(GetParent(child) == parent);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    CHECK((style & wanted) == wanted);
    CHECK((style & (WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION)) == 0);
    CHECK((GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0);
    RECT parentClient = {};
    RECT childClient = {};
    RECT childOuter = {};
    GetClientRect(parent, &parentClient);
    GetClientRect(child, &childClient);
    GetWindowRect(child, &childOuter);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&childOuter), 2);
    CHECK(childClient.right == parentClient.right && childClient.bottom == parentClient.bottom);
    CHECK(childOuter.left == 0 && childOuter.top == 0);
}

void IgnoresInput(SaverProcess& saver, HWND child)
{
    POINT where = {};
    GetCursorPos(&where);
    SetCursorPos(where.x + 60, where.y + 40);
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE})
        PostMessageA(child, message, 0, 0);
    PostMessageA(child, WM_ACTIVATEAPP, FALSE, 0);
    PostMessageA(child, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    CHECK_MSG(saver.waitExit(800) == STILL_ACTIVE, "the preview closed on input");
    CHECK(IsWindow(child));
}

// Help and the context menu belong to the settings page: they go to the parent, which is named in wParam.
void PassesHelpToParent(HWND parent, HWND child)
{
    LastForwarded = ForwardedMessage{};
    PostMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(12, 34));
    PumpFor(400);
    CHECK_EQ(static_cast<unsigned>(WM_CONTEXTMENU), LastForwarded.message);
    CHECK(LastForwarded.wParam == reinterpret_cast<WPARAM>(parent));
    CHECK(LastForwarded.lParam == MAKELPARAM(12, 34));

    LastForwarded = ForwardedMessage{};
    HELPINFO help = {};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    help.hItemHandle = child;
    // Taken as handled. Wine refuses to post a message that carries a pointer, so
    // whether the parent then receives it cannot be seen here.
    CHECK(SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)) == TRUE);
}
} // namespace

void RunPreviewTests(const TestContext& context)
{
    for (const char* previewSwitch : {"/p", "/l"}) {
        HWND parent = MakeTestWindow("Quorvelin test preview box", 320, 240);
        PlainParentProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingParentProc)));
        SaverProcess saver;
        CHECK(saver.start(context.scrPath,
                          std::string(previewSwitch) + " " + std::to_string(reinterpret_cast<std::uintptr_t>(parent))));
        HWND child = WaitForChild(parent, SaverClass, WaitMs);
        CHECK_MSG(child != nullptr, std::string("no preview window for ") + previewSwitch);
        if (child != nullptr) {
            ChildWindow(parent, child);
            IgnoresInput(saver, child);
            PassesHelpToParent(parent, child);
        }
        // The preview lives until its parent goes; then the saver ends with 0.
        DestroyWindow(parent);
        CHECK_EQ(0u, saver.waitExit(WaitMs));
    }
}
