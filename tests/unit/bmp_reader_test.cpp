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
    std::vector<unsigned char> b(54 + 12 * 2, 0x5a);
    b[0] = 'B';
    b[1] = 'M';
    const struct {
        std::size_t at;
        int bytes;
        std::uint32_t value;
    } fields[] = {{2, 4, 78}, {6, 4, 0}, {10, 4, 54}, {14, 4, 40}, {18, 4, 3}, {22, 4, 2}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0}};
    for (const auto& f : fields)
        Put(b, f.at, f.bytes, f.value);
    return b;
}

// The reader's answer; a refusal must leave the image untouched.
bool Accepts(const std::vector<unsigned char>& b, std::size_t size)
{
    BmpImage image;
    image.width = -7;
    const bool ok = ReadBmp(b.data(), size, image);
    EXPECT_TRUE(ok || (image.width == -7 && image.pixels == nullptr));
    return ok;
}
} // namespace

// Would catch: the pixels looked for anywhere but at the header's offset, a
// larger header or a gap before the pixels refused, or the file-size field
// trusted instead of the real size.
TEST(BmpReader, ReadsWellFormedPicturesInPlace)
{
    std::vector<unsigned char> b = ValidBmp();
    Put(b, 2, 4, 0xffffffffu);
    BmpImage image;
    ASSERT_TRUE(ReadBmp(b.data(), b.size(), image));
    EXPECT_TRUE(image.width == 3 && image.height == 2 && image.pixels == b.data() + 54);

    std::vector<unsigned char> v5 = ValidBmp();
    v5.insert(v5.begin() + 54, 84 + 16, 0);
    Put(v5, 14, 4, 124);
    Put(v5, 10, 4, 54 + 84 + 16);
    ASSERT_TRUE(ReadBmp(v5.data(), v5.size(), image));
    EXPECT_EQ(image.pixels, v5.data() + 154);
}

// Would catch: a picture that is cut short, or whose header lies about its
// layout, read past its end or shown garbled instead of counting as missing.
TEST(BmpReader, TruncationsAndLyingHeadersAreRefused)
{
    const std::vector<unsigned char> valid = ValidBmp();
    for (std::size_t size = 0; size < valid.size(); ++size)
        EXPECT_FALSE(Accepts(valid, size)) << "cut to " << size;
    BmpImage image;
    EXPECT_FALSE(ReadBmp(nullptr, valid.size(), image));

    const struct {
        const char* what;
        std::size_t at;
        int bytes;
        std::uint32_t value;
    } lies[] = {
        {"signature", 0, 2, 0x4142},           {"offset past the end", 10, 4, 60},
        {"offset inside the headers", 10, 4, 40}, {"offset near 4 GiB", 10, 4, 0xffffffffu},
        {"info header too small", 14, 4, 12},  {"info header past the offset", 14, 4, 41},
        {"info header near 4 GiB", 14, 4, 0xfffffff0u}, {"zero width", 18, 4, 0},
        {"negative width", 18, 4, 0xfffffffdu}, {"rows wider than the data", 18, 4, 5},
        {"huge width", 18, 4, 0x7fffffffu},    {"zero height", 22, 4, 0},
        {"top-down rows", 22, 4, 0xfffffffeu}, {"most negative height", 22, 4, 0x80000000u},
        {"one row more than the data", 22, 4, 3}, {"huge height", 22, 4, 0x40000000u},
        {"no planes", 26, 2, 0},               {"two planes", 26, 2, 2},
        {"8 bits", 28, 2, 8},                  {"16 bits", 28, 2, 16},
        {"32 bits", 28, 2, 32},                {"run-length compression", 30, 4, 1},
        {"bit-field compression", 30, 4, 3},
    };
    for (const auto& lie : lies) {
        std::vector<unsigned char> b = valid;
        Put(b, lie.at, lie.bytes, lie.value);
        EXPECT_FALSE(Accepts(b, b.size())) << lie.what;
    }
}
