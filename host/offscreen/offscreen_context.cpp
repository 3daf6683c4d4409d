#include "host/offscreen/offscreen_context.h"

#include <GL/osmesa.h>

OffscreenContext::OffscreenContext(int width, int height, int depthBits, int stencilBits)
    : width(width > 0 ? width : 1), height(height > 0 ? height : 1),
      buffer(static_cast<std::size_t>(this->width) * static_cast<std::size_t>(this->height) * 4)
{
    OSMesaContext created = OSMesaCreateContextExt(OSMESA_RGBA, depthBits, stencilBits, 0, nullptr);
    if (created == nullptr)
        return;
    context = created;
    current = OSMesaMakeCurrent(created, buffer.data(), GL_UNSIGNED_BYTE, this->width, this->height) != 0;
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
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* source = buffer.data() + static_cast<std::size_t>(height - 1 - row) * width * 4;
        std::uint8_t* target = rgb.data() + static_cast<std::size_t>(row) * width * 3;
        for (int x = 0; x < width; ++x) {
            target[x * 3 + 0] = source[x * 4 + 0];
            target[x * 3 + 1] = source[x * 4 + 1];
            target[x * 3 + 2] = source[x * 4 + 2];
        }
    }
    return rgb;
}

OffscreenContext::Rgb OffscreenContext::pixel(int x, int y) const
{
    glFinish();
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {-1, -1, -1};
    const std::uint8_t* p = buffer.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return {p[0], p[1], p[2]};
}
