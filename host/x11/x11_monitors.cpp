#include "host/x11/x11_monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace {
bool HasRandrMonitors(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor)
           && (major > 1 || (major == 1 && minor >= 5));
}
} // namespace

std::vector<PixelRect> ScreenMonitors(Display* display, Window root)
{
    std::vector<PixelRect> monitors;
    if (HasRandrMonitors(display)) {
        int count = 0;
        XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &count);
        for (int i = 0; list != nullptr && i < count; ++i)
            monitors.push_back(PixelRect{list[i].x, list[i].y, list[i].width, list[i].height});
        if (list != nullptr)
            XRRFreeMonitors(list);
        if (!monitors.empty())
            return monitors;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (XineramaQueryExtension(display, &eventBase, &errorBase) && XineramaIsActive(display)) {
        int count = 0;
        XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
        for (int i = 0; screens != nullptr && i < count; ++i)
            monitors.push_back(PixelRect{screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height});
        if (screens != nullptr)
            XFree(screens);
    }
    return monitors;
}
