#pragma once
#include <vector>

// A rectangle of window pixels; y counts down from the window's top edge, as
// both platforms give monitor and window positions.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One further monitor's view: the part of the drawn picture it shows and
// where that lands on the monitor. The area may start and end between
// pixels; it is in the window's pixels, y down.
struct MonitorCopy {
    PixelRect shown;
    double areaLeft = 0.0;
    double areaTop = 0.0;
    double areaRight = 0.0;
    double areaBottom = 0.0;
};

// Where the show goes on a window that spans several monitors. The scene is
// drawn once, on the largest monitor, at that monitor's size and aspect: that
// monitor sees exactly what a window of its own would. Every other monitor
// shows that picture scaled to its own height and centred on it. The view's
// vertical field of view is fixed, so a monitor narrower than the drawn one
// sees just what a view of its own aspect would (the picture's middle), and
// a wider one sees the whole picture with black sides. Nothing is drawn
// across a bezel or where no monitor is.
class MonitorLayout {
public:
    // One monitor covering the whole window.
    MonitorLayout(int windowWidth, int windowHeight);
    // The monitors in window pixels. Parts outside the window are cut off;
    // a monitor lying within another (a smaller clone) adds no view of its
    // own; with no monitor left, the whole window is one.
    MonitorLayout(const std::vector<PixelRect>& monitors, int windowWidth, int windowHeight);

    int getWindowWidth() const { return windowWidth; }
    int getWindowHeight() const { return windowHeight; }
    // The monitor the scene is drawn on.
    const PixelRect& getSource() const { return source; }
    const std::vector<MonitorCopy>& getCopies() const { return copies; }
    // The part of the source that some copy shows: what a frame must capture.
    const PixelRect& getCapture() const { return capture; }

private:
    int windowWidth;
    int windowHeight;
    PixelRect source;
    std::vector<MonitorCopy> copies;
    PixelRect capture;
};
