#pragma once
// The monitors a full-screen saver window spans, for the per-monitor views.
#include <windows.h>

#include <vector>

#include "host/monitors/monitor_layout.h"

// Every display monitor of the desktop, in the window's client coordinates
// (the layout cuts off what lies outside the client area).
std::vector<PixelRect> MonitorsOfWindow(HWND window);
