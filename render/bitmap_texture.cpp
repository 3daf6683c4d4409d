#include "render/bitmap_texture.h"

#include <utility>
#include <vector>

#include "render/gl.h"
#include "render/gl_capabilities.h"
#include "resources/bitmap_source.h"

namespace {
// The bitmap's rows with blue and red swapped, for a GL that takes no BGR.
// Rows keep their four-byte padding, so the unpack alignment still holds.
std::vector<unsigned char> rgbRows(const BitmapSource& bitmap)
{
    const std::size_t stride = (static_cast<std::size_t>(bitmap.getWidth()) * 3 + 3) & ~static_cast<std::size_t>(3);
    const auto* bgr = static_cast<const unsigned char*>(bitmap.getPixels());
    std::vector<unsigned char> rgb(bgr, bgr + stride * static_cast<std::size_t>(bitmap.getHeight()));
    for (std::size_t row = 0; row < rgb.size(); row += stride) {
        for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.getWidth()) * 3; x += 3)
            std::swap(rgb[row + x], rgb[row + x + 2]);
    }
    return rgb;
}
} // namespace

unsigned int LoadBitmapTexture(unsigned char resourceId)
{
    // The name comes first, so one is used up even when the bitmap is missing.
    GLuint name = 0;
    glGenTextures(1, &name);

    const BitmapSource bitmap(resourceId);
    if (!bitmap.isLoaded())
        return name;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, name);
    if (kGlCapabilities.bgrUploads) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, bitmap.getWidth(), bitmap.getHeight(), 0, GL_BGR_EXT,
                     GL_UNSIGNED_BYTE, bitmap.getPixels());
    } else {
        const std::vector<unsigned char> rgb = rgbRows(bitmap);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, bitmap.getWidth(), bitmap.getHeight(), 0, GL_RGB,
                     GL_UNSIGNED_BYTE, rgb.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}
