#include "resources/icon_reader.h"
#include "resources/little_endian.h"

#include <utility>

namespace {
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;
// An entry's width byte of 0 means 256, the largest an icon entry can name.
constexpr std::uint32_t kMaxSide = 256;

// One directory entry's picture: a BITMAPINFOHEADER, then the colour rows
// (blue, green, red, alpha; the bottom row first), then the one-bit mask,
// which a picture with alpha does not need.
bool readEntry(const unsigned char* data, std::size_t size, const unsigned char* entry, IconImage& image)
{
    const std::uint32_t side = entry[0] == 0 ? kMaxSide : entry[0];
    const std::uint64_t length = ReadU32(entry + 8);
    const std::uint64_t offset = ReadU32(entry + 12);
    if (offset + length > size || length < kInfoHeaderSize)
        return false;
    const unsigned char* info = data + offset;
    const std::uint32_t infoSize = ReadU32(info);
    const std::uint32_t width = ReadU32(info + 4);
    const std::uint32_t height = ReadU32(info + 8); // colour rows and mask rows together
    if (infoSize < kInfoHeaderSize || width != side || height != 2 * side || ReadU16(info + 12) != 1 ||
        ReadU16(info + 14) != 32 || ReadU32(info + 16) != 0)
        return false;
    const std::uint64_t pixelBytes = std::uint64_t(side) * side * 4;
    if (infoSize + pixelBytes > length)
        return false;
    const unsigned char* rows = info + infoSize;
    image.side = static_cast<int>(side);
    image.argb.resize(std::size_t(side) * side);
    for (std::uint32_t y = 0; y < side; ++y) {
        const unsigned char* row = rows + std::size_t(side - 1 - y) * side * 4;
        for (std::uint32_t x = 0; x < side; ++x) {
            const unsigned char* p = row + x * 4;
            image.argb[y * side + x] = (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) |
                                       (std::uint32_t(p[1]) << 8) | p[0];
        }
    }
    return true;
}
} // namespace

std::vector<IconImage> ReadIcon(const unsigned char* data, std::size_t size)
{
    std::vector<IconImage> images;
    if (data == nullptr || size < kDirectorySize || ReadU16(data) != 0 || ReadU16(data + 2) != 1)
        return images;
    const std::size_t count = ReadU16(data + 4);
    if (kDirectorySize + count * kEntrySize > size)
        return images;
    for (std::size_t i = 0; i < count; ++i) {
        IconImage image;
        if (readEntry(data, size, data + kDirectorySize + i * kEntrySize, image))
            images.push_back(std::move(image));
    }
    return images;
}
