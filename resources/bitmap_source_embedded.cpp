// The bitmap seam where there are no Windows resources: the BMP files under
// resources/bitmaps are linked into the program, and their pixel rows are
// already in the layout the textures upload, so nothing is copied.
#include <cstddef>

#include "resources/bitmap_source.h"
#include "resources/bmp_reader.h"

extern const unsigned char kBitmap109[];
extern const std::size_t kBitmap109Size;
extern const unsigned char kBitmap110[];
extern const std::size_t kBitmap110Size;
extern const unsigned char kBitmap111[];
extern const std::size_t kBitmap111Size;
extern const unsigned char kBitmap112[];
extern const std::size_t kBitmap112Size;
extern const unsigned char kBitmap116[];
extern const std::size_t kBitmap116Size;
extern const unsigned char kBitmap117[];
extern const std::size_t kBitmap117Size;
extern const unsigned char kBitmap118[];
extern const std::size_t kBitmap118Size;

namespace {
struct EmbeddedBitmap {
    unsigned int id;
    const unsigned char* data;
    const std::size_t* size;
};

const EmbeddedBitmap kBitmaps[] = {
    {109, kBitmap109, &kBitmap109Size}, {110, kBitmap110, &kBitmap110Size},
    {111, kBitmap111, &kBitmap111Size}, {112, kBitmap112, &kBitmap112Size},
    {116, kBitmap116, &kBitmap116Size}, {117, kBitmap117, &kBitmap117Size},
    {118, kBitmap118, &kBitmap118Size},
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
