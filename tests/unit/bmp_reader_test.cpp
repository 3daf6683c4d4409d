#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/bmp_reader.h"

namespace {
// Writes `bytes` (2 or 4) little-endian bytes of v at b[at].
void Put(std::vector<unsigned char>& b, std::size_t at, int bytes, std::uint32_t v)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = (v >> (8 * i)) & 0xff;
}

// A well-formed 24-bit bottom-up BMP of 3 x 2 pixels: rows of 9 bytes padded to 12.
std::vector<unsigned char> ValidBmp()
{
    std::vector<unsigned char> b(54 + 12 * 2);
    b[0] = 'B';
    b[1] = 'M';
    const struct {
        std::size_t at;
        int bytes;
        std::uint32_t value;
    } fields[] = {{2, 4, std::uint32_t(b.size())}, {10, 4, 54}, {14, 4, 40}, {18, 4, 3},
                  {22, 4, 2},                      {26, 2, 1},  {28, 2, 24}, {30, 4, 0}};
    for (const auto& f : fields)
        Put(b, f.at, f.bytes, f.value);
    for (std::size_t i = 54; i < b.size(); ++i)
        b[i] = static_cast<unsigned char>(i);
    return b;
}

// The reader's answer, with the image left untouched on refusal.
bool Accepts(const std::vector<unsigned char>& b, std::size_t size)
{
    BmpImage image;
    image.width = -7;
    const bool ok = ReadBmp(b.data(), size, image);
    if (!ok) {
        EXPECT_EQ(image.width, -7);
        EXPECT_EQ(image.pixels, nullptr);
    }
    return ok;
}

bool Accepts(const std::vector<unsigned char>& b) { return Accepts(b, b.size()); }
} // namespace

TEST(BmpReader, ReadsAWellFormedPictureInPlace)
{
    const std::vector<unsigned char> b = ValidBmp();
    BmpImage image;
    ASSERT_TRUE(ReadBmp(b.data(), b.size(), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, b.data() + 54);

    // A larger header and a gap before the pixels are allowed.
    std::vector<unsigned char> v5 = ValidBmp();
    v5.insert(v5.begin() + 54, 84 + 16, 0);
    Put(v5, 14, 4, 124);
    Put(v5, 10, 4, 54 + 84 + 16);
    ASSERT_TRUE(ReadBmp(v5.data(), v5.size(), image));
    EXPECT_EQ(image.pixels, v5.data() + 154);
}

TEST(BmpReader, EveryTruncationIsRefused)
{
    const std::vector<unsigned char> b = ValidBmp();
    for (std::size_t size = 0; size < b.size(); ++size)
        EXPECT_FALSE(Accepts(b, size)) << "size " << size;
    BmpImage image;
    EXPECT_FALSE(ReadBmp(nullptr, b.size(), image));
}

TEST(BmpReader, LyingHeadersAreRefused)
{
    struct Lie {
        const char* what;
        std::size_t at;
        int bytes;
        std::uint32_t value;
    };
    const Lie lies[] = {
        {"signature", 0, 2, 0x4142},
        {"offset past the end", 10, 4, 60},
        {"offset inside the headers", 10, 4, 40},
        {"offset near 4 GiB", 10, 4, 0xffffffffu},
        {"info header too small", 14, 4, 12},
        {"info header past the offset", 14, 4, 41},
        {"info header near 4 GiB", 14, 4, 0xfffffff0u},
        {"zero width", 18, 4, 0},
        {"negative width", 18, 4, 0xfffffffdu},
        {"rows wider than the data", 18, 4, 5},
        {"huge width", 18, 4, 0x7fffffffu},
        {"zero height", 22, 4, 0},
        {"top-down rows", 22, 4, 0xfffffffeu},
        {"most negative height", 22, 4, 0x80000000u},
        {"one row more than the data", 22, 4, 3},
        {"huge height", 22, 4, 0x40000000u},
        {"no planes", 26, 2, 0},
        {"two planes", 26, 2, 2},
        {"8 bits", 28, 2, 8},
        {"32 bits", 28, 2, 32},
        {"16 bits", 28, 2, 16},
        {"run-length compression", 30, 4, 1},
        {"bit-field compression", 30, 4, 3},
    };
    for (const Lie& lie : lies) {
        std::vector<unsigned char> b = ValidBmp();
        Put(b, lie.at, lie.bytes, lie.value);
        EXPECT_FALSE(Accepts(b)) << lie.what;
    }
    // The file-size field is not trusted either way: the real size decides.
    std::vector<unsigned char> b = ValidBmp();
    Put(b, 2, 4, 0xffffffffu);
    EXPECT_TRUE(Accepts(b));
}
