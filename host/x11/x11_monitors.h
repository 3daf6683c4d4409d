#pragma once
// The monitors of an X screen, for the per-monitor views.
#include <X11/Xlib.h>

#include <vector>

#include "host/monitors/monitor_layout.h"

// The monitors of the screen whose root window is given, in root
// coordinates: the active RandR 1.5 monitors, else Xinerama's screens. None
// when the server reports neither; the whole window is then one monitor.
std::vector<PixelRect> ScreenMonitors(Display* display, Window root);
