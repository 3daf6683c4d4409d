#include "host/win32/window_monitors.h"

namespace {
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
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    for (PixelRect& monitor : monitors) {
        monitor.x -= origin.x;
        monitor.y -= origin.y;
    }
    return monitors;
}
