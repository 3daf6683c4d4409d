#include "host/win32/saver_host.h"

#include <shellapi.h>

#include "resources/resource_ids.h"

namespace {
const COLORREF LinkColour = RGB(0, 0, 255);
const char MailLink[] = "mailto:" QUORVELIN_MAIL_ADDRESS;

void OpenLink(const char* target)
{
    // A failed launch shows nothing: there is nothing the box could do about it.
    ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}
} // namespace

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control != GetDlgItem(dialog, IDC_WEB_LINK) && control != GetDlgItem(dialog, IDC_MAIL_LINK))
            return FALSE;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, LinkColour);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            // Escape and the caption's close button: a box must obey its own close button.
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_WEB_LINK:
            OpenLink(QUORVELIN_WEB_SITE);
            return FALSE;
        case IDC_MAIL_LINK:
            OpenLink(MailLink);
            return FALSE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

BOOL WINAPI RegisterDialogClasses(HANDLE) { return TRUE; }
