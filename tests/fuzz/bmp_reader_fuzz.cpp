// Fuzzes the BMP reader of the bitmap seam. Whenever it accepts the bytes,
// every byte of every pixel row it promises must lie inside them: each one is
// read here, so AddressSanitizer stops any row that reaches past the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "resources/bmp_reader.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const unsigned char sentinel[1] = {0};
    BmpImage image;
    image.width = -7;
    image.height = -9;
    image.pixels = sentinel;
    if (!ReadBmp(data, size, image)) {
        // A refusal leaves the image as it was.
        Check(image.width == -7 && image.height == -9 && image.pixels == sentinel);
        return 0;
    }
    Check(image.width > 0 && image.height > 0);
    Check(image.pixels >= data && image.pixels < data + size);
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    const std::size_t offset = static_cast<std::size_t>(image.pixels - data);
    Check(offset + stride * static_cast<std::size_t>(image.height) <= size);
    // Touch every byte of every row, the padding included, as the upload does.
    volatile unsigned sum = 0;
    for (int row = 0; row < image.height; ++row) {
        const unsigned char* line = image.pixels + static_cast<std::size_t>(row) * stride;
        for (std::size_t i = 0; i < stride; ++i)
            sum = sum + line[i];
    }
    (void)sum;
    return 0;
}
