#include "resources/bmp_reader.h"
#include "resources/little_endian.h"

#include <cstdint>

namespace {
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Far beyond any texture OpenGL accepts, and small enough that every size
// computed from it fits in 64 bits.
constexpr std::int32_t kMaxSide = 16384;

std::int32_t i32(const unsigned char* p) { return static_cast<std::int32_t>(ReadU32(p)); }
} // namespace

bool ReadBmp(const unsigned char* data, std::size_t size, BmpImage& image)
{
    if (data == nullptr || size < kFileHeaderSize + kInfoHeaderSize)
        return false;
    if (data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint64_t offset = ReadU32(data + 10);
    const unsigned char* info = data + kFileHeaderSize;
    const std::uint32_t infoSize = ReadU32(info);
    const std::int32_t width = i32(info + 4);
    const std::int32_t height = i32(info + 8); // negative would mean top-down rows
    const std::uint32_t planes = ReadU16(info + 12);
    const std::uint32_t bitsPerPixel = ReadU16(info + 14);
    const std::uint32_t compression = ReadU32(info + 16);
    if (infoSize < kInfoHeaderSize || planes != 1 || bitsPerPixel != 24 || compression != 0)
        return false;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    // In 64 bits: a huge header size must not wrap past the offset where size_t is 32 bits.
    if (offset < std::uint64_t(kFileHeaderSize) + infoSize)
        return false;
    const std::uint64_t stride = (std::uint64_t(width) * 3 + 3) / 4 * 4;
    const std::uint64_t end = offset + stride * std::uint64_t(height);
    if (end > size)
        return false;
    image.width = width;
    image.height = height;
    image.pixels = data + offset;
    return true;
}
