#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "resources/icon_data.h"
#include "resources/icon_reader.h"

namespace {
void Put(std::vector<unsigned char>& b, std::size_t at, int bytes, std::uint32_t v)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = (v >> (8 * i)) & 0xff;
}

// An icon file with one 2 x 2 32-bit picture. Stored bottom row first as
// blue, green, red, alpha: red, green (bottom), blue, half-clear white (top).
std::vector<unsigned char> TinyIcon()
{
    std::vector<unsigned char> b(6 + 16 + 40 + 16 + 8);
    const struct {
        std::size_t at;
        int bytes;
        std::uint32_t value;
    } fields[] = {{2, 2, 1},  {4, 2, 1},  {6, 1, 2},  {7, 1, 2},  {10, 2, 1}, {12, 2, 32}, {14, 4, 64},
                  {18, 4, 22}, {22, 4, 40}, {26, 4, 2}, {30, 4, 4}, {34, 2, 1}, {36, 2, 32}};
    for (const auto& f : fields)
        Put(b, f.at, f.bytes, f.value);
    const unsigned char pixels[16] = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 128};
    std::copy(pixels, pixels + 16, b.begin() + 62);
    return b;
}
} // namespace

TEST(IconReader, ReadsPixelsTopRowFirstAsArgb)
{
    const std::vector<unsigned char> b = TinyIcon();
    const std::vector<IconImage> images = ReadIcon(b.data(), b.size());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].side, 2);
    EXPECT_EQ(images[0].argb, (std::vector<std::uint32_t>{0xff0000ff, 0x80ffffff, 0xffff0000, 0xff00ff00}));
}

// Damaged or foreign data gives no picture (and no read outside the data).
TEST(IconReader, RefusesDataThatDoesNotAddUp)
{
    const std::vector<std::function<void(std::vector<unsigned char>&)>> damage = {
        [](auto& b) { b.resize(5); },
        [](auto& b) { b.resize(21); },              // directory entry cut short
        [](auto& b) { b.resize(b.size() - 9); },    // pixels cut short
        [](auto& b) { Put(b, 2, 2, 2); },           // a cursor file
        [](auto& b) { Put(b, 4, 2, 300); },         // more entries than data
        [](auto& b) { Put(b, 18, 4, 0xfffffff0); }, // picture far past the end
        [](auto& b) { Put(b, 14, 4, 0xffffffff); }, // picture longer than the file
        [](auto& b) { Put(b, 22, 4, 12); },         // an old core header
        [](auto& b) { Put(b, 22, 4, 0x7fffffff); }, // a header larger than the picture
        [](auto& b) { Put(b, 26, 4, 3); },          // width unlike the entry's
        [](auto& b) { Put(b, 30, 4, 2); },          // no mask rows in the height
        [](auto& b) { Put(b, 36, 2, 8); },          // a palette picture
        [](auto& b) { Put(b, 38, 4, 3); },          // compressed (bit fields)
        [](auto& b) { Put(b, 22, 4, 0x474e5089); }, // a PNG picture
    };
    for (std::size_t i = 0; i < damage.size(); ++i) {
        std::vector<unsigned char> b = TinyIcon();
        damage[i](b);
        EXPECT_TRUE(ReadIcon(b.data(), b.size()).empty()) << "damage " << i;
    }
    EXPECT_TRUE(ReadIcon(nullptr, 100).empty());
}

// The linked-in icon, as the X11 window shows it: the three sizes, clear
// corners, gold plates (more red than blue) forming an upright triangle,
// so its widest opaque row is in the lower half.
TEST(IconReader, TheProgramsIconIsAnUprightGoldTriangleInThreeSizes)
{
    const std::vector<IconImage> images = ReadIcon(kIconData, kIconDataSize);
    ASSERT_EQ(images.size(), 3u);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        const int n = image.side;
        EXPECT_EQ(n, 16 * int(i + 1));
        EXPECT_EQ(image.argb[0] >> 24, 0u);
        int widest = 0;
        int widestRow = -1;
        for (int y = 0; y < n; ++y) {
            int opaque = 0;
            for (int x = 0; x < n; ++x) {
                const std::uint32_t p = image.argb[y * n + x];
                if (p >> 24 == 255) {
                    ++opaque;
                    EXPECT_GT((p >> 16) & 0xff, p & 0xff) << n << " px at " << x << "," << y;
                }
            }
            if (opaque > widest) {
                widest = opaque;
                widestRow = y;
            }
        }
        EXPECT_GT(widestRow, n / 2) << n << " px";
    }
}
