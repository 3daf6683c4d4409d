#include "host/offscreen/offscreen_context.h"

#include <GL/osmesa.h>

namespace {
std::size_t BytesPerPixel(OffscreenContext::Pixels pixels)
{
    return pixels == OffscreenContext::Pixels::Rgb565 ? 2 : 4;
}
} // namespace

OffscreenContext::OffscreenContext(int width, int height, int depthBits, int stencilBits, Pixels pixels)
    : width(width > 0 ? width : 1), height(height > 0 ? height : 1), pixels(pixels),
      buffer(static_cast<std::size_t>(this->width) * static_cast<std::size_t>(this->height) * BytesPerPixel(pixels))
{
    const bool rgb565 = pixels == Pixels::Rgb565;
    OSMesaContext created =
        OSMesaCreateContextExt(rgb565 ? OSMESA_RGB_565 : OSMESA_RGBA, depthBits, stencilBits, 0, nullptr);
    if (created == nullptr)
        return;
    context = created;
    current = OSMesaMakeCurrent(created, buffer.data(), rgb565 ? GL_UNSIGNED_SHORT_5_6_5 : GL_UNSIGNED_BYTE,
                                this->width, this->height)
              != 0;
}

OffscreenContext::~OffscreenContext()
{
    if (context != nullptr)
        OSMesaDestroyContext(static_cast<OSMesaContext>(context));
}

std::vector<std::uint8_t> OffscreenContext::readRgbTopDown() const
{
    glFinish();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    // OSMesa's buffer holds rows bottom-up, as OpenGL counts them.
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            const Rgb p = rgbAt(x, height - 1 - row);
            std::uint8_t* target = rgb.data() + (static_cast<std::size_t>(row) * width + x) * 3;
            target[0] = static_cast<std::uint8_t>(p.r);
            target[1] = static_cast<std::uint8_t>(p.g);
            target[2] = static_cast<std::uint8_t>(p.b);
        }
    return rgb;
}

OffscreenContext::Rgb OffscreenContext::pixel(int x, int y) const
{
    glFinish();
    return rgbAt(x, y);
}

OffscreenContext::Rgb OffscreenContext::rgbAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {-1, -1, -1};
    const std::size_t at = static_cast<std::size_t>(y) * width + x;
    if (pixels == Pixels::Rgba8888) {
        const std::uint8_t* p = buffer.data() + at * 4;
        return {p[0], p[1], p[2]};
    }
    // Red in the top five bits, as OpenGL's packed 5-6-5 type has it; each
    // channel widened by repeating its top bits, so full stays 255.
    const unsigned v = buffer[at * 2] | (buffer[at * 2 + 1] << 8);
    const unsigned r = v >> 11, g = (v >> 5) & 63, b = v & 31;
    return {static_cast<int>(r << 3 | r >> 2), static_cast<int>(g << 2 | g >> 4), static_cast<int>(b << 3 | b >> 2)};
}
