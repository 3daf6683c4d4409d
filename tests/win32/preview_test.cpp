// The preview: a child of a window this program owns, as the display
// settings' preview box would be. It never closes on input, hands help and
// the context menu to its parent, and ends with its parent.
#include "tests/win32/harness.h"

namespace {
MSG Forwarded = {};

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU)
        Forwarded = MSG{window, message, wParam, lParam, 0, {}};
    return DefWindowProcA(window, message, wParam, lParam);
}

// A child covering the parent's client area.
void ChildWindow(HWND parent, HWND child)
{
    CHECK(WindowText(child, GetClassNameA) == SaverClass && WindowText(child) == "Preview" && GetParent(child) == parent);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    CHECK((style & wanted) == wanted && (style & (WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION)) == 0);
    CHECK(GetWindowLongA(child, GWL_EXSTYLE) == 0);
    RECT parentClient = {};
    RECT childOuter = {};
    GetClientRect(parent, &parentClient);
    GetWindowRect(child, &childOuter);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&childOuter), 2);
    CHECK(EqualRect(&parentClient, &childOuter));
}
} // namespace

void RunPreviewTests(const TestContext& context)
{
    for (const char* previewSwitch : {"/p ", "/l "}) {
        HWND parent = MakeTestWindow("Quorvelin test preview box", RecordingParentProc);
        SaverProcess saver;
        saver.start(context.scrPath, previewSwitch + Number(parent));
        HWND child = WaitForChild(parent);
        CHECK_MSG(child != nullptr, std::string("no preview window for ") + previewSwitch);
        ChildWindow(parent, child);
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 3, GetSystemMetrics(SM_CYSCREEN) / 3);
        for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE})
            PostMessageA(child, message, 0, 0);
        PostMessageA(child, WM_ACTIVATEAPP, FALSE, 0);
        PostMessageA(child, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        CHECK_MSG(saver.waitExit(SettleMs) == STILL_ACTIVE, "the preview closed on input");
        // The settings page named in wParam gets the context menu. Wine posts no
        // message that carries a pointer, so a forwarded WM_HELP cannot reach
        // the parent here: it is only taken as handled.
        Forwarded = MSG{};
        PostMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(12, 34));
        WaitUntil(SettleMs, [] { return Forwarded.message != 0; });
        CHECK(Forwarded.wParam == reinterpret_cast<WPARAM>(parent) && Forwarded.lParam == MAKELPARAM(12, 34));
        HELPINFO help = {sizeof(HELPINFO), HELPINFO_WINDOW, 0, child, 0, {}};
        CHECK(SendMessageA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help)) == TRUE);
        DestroyWindow(parent);
        CHECK_EXIT(saver, 0u, std::string(previewSwitch) + "with its parent gone");
    }
}
