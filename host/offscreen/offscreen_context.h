#pragma once
#include <cstdint>
#include <vector>

// An OSMesa rendering context over a buffer in memory: the host of the
// offscreen player and of the pixel tests. RGBA of 8 bits a channel, or 16
// bits a pixel as older desks have them, with the depth and stencil bits
// asked for (a stencil of 0 bits is allowed: the mirror then goes unclipped).
class OffscreenContext {
public:
    enum class Pixels { Rgba8888, Rgb565 };
    OffscreenContext(int width, int height, int depthBits = 24, int stencilBits = 8, Pixels pixels = Pixels::Rgba8888);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // False when no context could be made current.
    bool isCurrent() const { return current; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // The finished frame as RGB rows from the top of the picture down.
    std::vector<std::uint8_t> readRgbTopDown() const;

    struct Rgb {
        int r, g, b;
    };
    // The pixel at (x, y) in window coordinates: y = 0 is the bottom row, as glReadPixels counts.
    Rgb pixel(int x, int y) const;

private:
    Rgb rgbAt(int x, int y) const;

    int width;
    int height;
    Pixels pixels;
    void* context = nullptr;
    std::vector<std::uint8_t> buffer;
    bool current = false;
};
