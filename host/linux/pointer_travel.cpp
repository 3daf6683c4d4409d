#include "host/linux/pointer_travel.h"

#include <cmath>

namespace {
// The largest movement, in pixels summed over x and y, that leaves the show running.
constexpr double kThreshold = 4.0;
} // namespace

bool PointerTravel::endsShow(double x, double y)
{
    if (!started) {
        started = true;
        startX = x;
        startY = y;
        return false;
    }
    return std::fabs(x - startX) + std::fabs(y - startY) > kThreshold;
}
