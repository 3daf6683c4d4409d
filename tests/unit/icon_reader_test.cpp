#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/icon_data.h"
#include "resources/icon_reader.h"
#include "tests/unit/header_field.h"

namespace {
// An icon file with one 2 x 2 32-bit picture. Stored bottom row first as
// blue, green, red, alpha: red, green (bottom), blue, half-clear white (top).
std::vector<unsigned char> TinyIcon()
{
    std::vector<unsigned char> b{0, 0, 1, 0, 1, 0, 2, 2};
    b.resize(62);
    for (const Field& f : {Field{"planes", 10, 2, 1}, {"bits", 12, 2, 32}, {"size", 14, 4, 64}, {"offset", 18, 4, 22},
                           {"header", 22, 4, 40}, {"width", 26, 4, 2}, {"height", 30, 4, 4}, {"planes", 34, 2, 1},
                           {"bits", 36, 2, 32}})
        Put(b, f);
    b.insert(b.end(), {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 128, 0, 0, 0, 0, 0, 0, 0, 0});
    return b;
}
} // namespace

// Would catch: rows read bottom-up or channels swapped (the window's icon
// upside down or off colour), or damaged or foreign data giving a picture
// (and a read outside the data).
TEST(IconReader, ReadsPixelsTopRowFirstAsArgbAndRefusesDataThatDoesNotAddUp)
{
    std::vector<unsigned char> b = TinyIcon();
    const std::vector<IconImage> images = ReadIcon(b.data(), b.size());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].side, 2);
    EXPECT_EQ(images[0].argb, (std::vector<std::uint32_t>{0xff0000ff, 0x80ffffff, 0xffff0000, 0xff00ff00}));

    for (const std::size_t size : {5, 21, 77}) // a header, a directory entry, the pixels cut short
        EXPECT_TRUE(ReadIcon(b.data(), size).empty()) << "cut to " << size;
    EXPECT_TRUE(ReadIcon(nullptr, 100).empty());
    for (const Field& lie : {Field{"a cursor file", 2, 2, 2}, {"more entries than data", 4, 2, 300},
                             {"picture far past the end", 18, 4, 0xfffffff0}, {"picture longer than the file", 14, 4, 0xffffffff},
                             {"an old core header", 22, 4, 12}, {"a header larger than the picture", 22, 4, 0x7fffffff},
                             {"width unlike the entry's", 26, 4, 3}, {"no mask rows in the height", 30, 4, 2},
                             {"a palette picture", 36, 2, 8}, {"compressed (bit fields)", 38, 4, 3},
                             {"a PNG picture", 22, 4, 0x474e5089}}) {
        b = TinyIcon();
        Put(b, lie);
        EXPECT_TRUE(ReadIcon(b.data(), b.size()).empty()) << lie.what;
    }
}

// Would catch: the window's icon missing a size, with opaque corners, or not
// the gold plates (more red than blue) of an upright triangle, whose widest
// opaque row lies in the lower half.
TEST(IconReader, TheProgramsIconIsAnUprightGoldTriangleInThreeSizes)
{
    const std::vector<IconImage> images = ReadIcon(kIconData, kIconDataSize);
    ASSERT_EQ(images.size(), 3u);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int n = images[i].side;
        ASSERT_EQ(n, 16 * int(i + 1));
        EXPECT_EQ(images[i].argb[0] >> 24, 0u);
        int widest = 0, widestRow = -1;
        for (int y = 0; y < n; ++y) {
            int opaque = 0;
            for (int x = 0; x < n; ++x) {
                const std::uint32_t p = images[i].argb[std::size_t(y * n + x)];
                opaque += p >> 24 == 255;
                EXPECT_TRUE(p >> 24 != 255 || ((p >> 16) & 0xff) > (p & 0xff)) << n << " px at " << x << "," << y;
            }
            if (opaque > widest)
                widest = opaque, widestRow = y;
        }
        EXPECT_GT(widestRow, n / 2) << n << " px";
    }
}
