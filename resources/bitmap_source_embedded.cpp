// The bitmap seam where there are no Windows resources: the BMP files under
// resources/bitmaps are linked into the program, and their pixel rows are
// already in the layout the textures upload, so nothing is copied.
#include <cstddef>

#include "resources/bitmap_source.h"
#include "resources/bmp_reader.h"

#define PICTURE(id, name, file) \
    extern const unsigned char kBitmap##id[]; \
    extern const std::size_t kBitmap##id##Size;
#include "resources/pictures.inc"
#undef PICTURE

namespace {
struct EmbeddedBitmap {
    unsigned int id;
    const unsigned char* data;
    const std::size_t* size;
};

const EmbeddedBitmap kBitmaps[] = {
#define PICTURE(id, name, file) {id, kBitmap##id, &kBitmap##id##Size},
#include "resources/pictures.inc"
#undef PICTURE
};
} // namespace

BitmapSource::BitmapSource(unsigned int resourceId)
{
    for (const EmbeddedBitmap& bitmap : kBitmaps) {
        BmpImage image;
        if (bitmap.id == resourceId && ReadBmp(bitmap.data, *bitmap.size, image)) {
            width = image.width;
            height = image.height;
            pixels = image.pixels;
        }
    }
}

BitmapSource::~BitmapSource() = default;
