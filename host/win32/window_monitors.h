#pragma once
// The monitors a full-screen saver window spans, for the per-monitor views.
#include <windows.h>

#include <vector>

#include "host/monitors/monitor_layout.h"

// Every display monitor of the desktop, in the window's client coordinates
// (the layout cuts off what lies outside the client area). None where the
// system cannot list its monitors (Windows 95, NT 4.0): the layout then takes
// the whole window as one monitor, which is all those systems drive.
std::vector<PixelRect> MonitorsOfWindow(HWND window);
