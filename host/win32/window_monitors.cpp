#include "host/win32/window_monitors.h"

#include "host/win32/export_lookup.h"

namespace {
using EnumMonitorsProc = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT bounds, LPARAM list)
{
    reinterpret_cast<std::vector<PixelRect>*>(list)->push_back(
        PixelRect{bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top});
    return TRUE;
}
} // namespace

std::vector<PixelRect> MonitorsOfWindow(HWND window)
{
    std::vector<PixelRect> monitors;
    auto enumerate = LookUp<EnumMonitorsProc>(GetModuleHandleA("USER32.DLL"), "EnumDisplayMonitors");
    // Windows 95 and NT 4.0 have no monitor enumeration.
    if (enumerate == nullptr)
        return monitors;
    enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    for (PixelRect& monitor : monitors) {
        monitor.x -= origin.x;
        monitor.y -= origin.y;
    }
    return monitors;
}
