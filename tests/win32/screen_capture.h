#pragma once
// A copy of the screen as the user sees it, taken with GDI from the screen's
// device context, for probing what the saver really drew.
#include <windows.h>

#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

class ScreenCapture {
public:
    bool take();
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;
    // How many pixels of the rectangle the test accepts.
    template <typename Test>
    int count(const RECT& area, Test test) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (x >= 0 && y >= 0 && x < width_ && y < height_ && test(pixel(x, y)))
                    ++n;
        return n;
    }
    bool saveBmp(const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bgr_; // top-down rows of 32-bit BGRX
};
