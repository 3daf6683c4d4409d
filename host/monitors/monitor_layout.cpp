#include "host/monitors/monitor_layout.h"

#include <algorithm>
#include <cmath>

namespace {
bool Empty(const PixelRect& r) { return r.width <= 0 || r.height <= 0; }

bool Same(const PixelRect& a, const PixelRect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool Within(const PixelRect& inner, const PixelRect& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width
           && inner.y + inner.height <= outer.y + outer.height;
}

PixelRect ClipToWindow(const PixelRect& r, int windowWidth, int windowHeight)
{
    // In 64 bits: a platform may report any numbers, and a sum must not wrap.
    const long long left = std::max(0LL, static_cast<long long>(r.x));
    const long long top = std::max(0LL, static_cast<long long>(r.y));
    const long long right = std::min(static_cast<long long>(windowWidth), static_cast<long long>(r.x) + r.width);
    const long long bottom = std::min(static_cast<long long>(windowHeight), static_cast<long long>(r.y) + r.height);
    if (right <= left || bottom <= top)
        return PixelRect{};
    return PixelRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top)};
}

long long Area(const PixelRect& r) { return static_cast<long long>(r.width) * r.height; }

// The source scaled to the target's height and centred on it, cut to the target.
MonitorCopy CopyOnto(const PixelRect& source, const PixelRect& target)
{
    const double scale = static_cast<double>(target.height) / source.height;
    const double sourceWidthShown = target.width / scale;
    MonitorCopy copy;
    copy.areaTop = source.y;
    copy.areaBottom = source.y + source.height;
    if (sourceWidthShown >= source.width) {
        const int width = std::min(target.width, static_cast<int>(std::lround(source.width * scale)));
        copy.shown = PixelRect{target.x + (target.width - width) / 2, target.y, width, target.height};
        copy.areaLeft = source.x;
        copy.areaRight = source.x + source.width;
    } else {
        copy.shown = target;
        copy.areaLeft = source.x + (source.width - sourceWidthShown) / 2.0;
        copy.areaRight = copy.areaLeft + sourceWidthShown;
    }
    return copy;
}
} // namespace

MonitorLayout::MonitorLayout(int windowWidth, int windowHeight)
    : MonitorLayout(std::vector<PixelRect>{}, windowWidth, windowHeight)
{
}

MonitorLayout::MonitorLayout(const std::vector<PixelRect>& monitors, int windowWidth, int windowHeight)
    : windowWidth(std::max(0, windowWidth)), windowHeight(std::max(0, windowHeight))
{
    std::vector<PixelRect> clipped;
    for (const PixelRect& monitor : monitors) {
        const PixelRect r = ClipToWindow(monitor, this->windowWidth, this->windowHeight);
        if (!Empty(r))
            clipped.push_back(r);
    }
    std::vector<PixelRect> views;
    for (std::size_t i = 0; i < clipped.size(); ++i) {
        bool covered = false;
        for (std::size_t j = 0; j < clipped.size() && !covered; ++j)
            covered = j != i && Within(clipped[i], clipped[j]) && (j < i || !Same(clipped[i], clipped[j]));
        if (!covered)
            views.push_back(clipped[i]);
    }
    if (views.empty()) {
        source = PixelRect{0, 0, this->windowWidth, this->windowHeight};
        return;
    }

    std::size_t largest = 0;
    for (std::size_t i = 1; i < views.size(); ++i)
        if (Area(views[i]) > Area(views[largest]))
            largest = i;
    source = views[largest];
    double left = source.x + source.width;
    double right = source.x;
    for (std::size_t i = 0; i < views.size(); ++i) {
        if (i == largest)
            continue;
        copies.push_back(CopyOnto(source, views[i]));
        left = std::min(left, copies.back().areaLeft);
        right = std::max(right, copies.back().areaRight);
    }
    if (!copies.empty()) {
        const int captureLeft = std::max(source.x, static_cast<int>(std::floor(left)));
        const int captureRight = std::min(source.x + source.width, static_cast<int>(std::ceil(right)));
        capture = PixelRect{captureLeft, source.y, captureRight - captureLeft, source.height};
    }
}
