#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/bmp_reader.h"
#include "tests/unit/header_field.h"

namespace {
// A well-formed 24-bit bottom-up BMP of 3 x 2 pixels: rows of 9 bytes padded to 12.
std::vector<unsigned char> ValidBmp()
{
    std::vector<unsigned char> b(54 + 12 * 2, 0x5a);
    for (const Field& f : {Field{"BM", 0, 2, 0x4d42}, {"size", 2, 4, 78}, {"", 6, 4, 0}, {"offset", 10, 4, 54},
                           {"info", 14, 4, 40}, {"width", 18, 4, 3}, {"height", 22, 4, 2}, {"planes", 26, 2, 1},
                           {"bits", 28, 2, 24}, {"compression", 30, 4, 0}})
        Put(b, f);
    return b;
}

// The reader's answer; a refusal must leave the image untouched.
bool Accepts(const std::vector<unsigned char>& b, std::size_t size, BmpImage& image)
{
    image = BmpImage{-7, 0, nullptr};
    const bool ok = ReadBmp(b.data(), size, image);
    EXPECT_TRUE(ok || (image.width == -7 && image.pixels == nullptr));
    return ok;
}
} // namespace

// Would catch: the pixels looked for anywhere but at the header's offset, a
// larger header or a gap before the pixels refused, the file-size field
// trusted instead of the real size; or a picture that is cut short, or whose
// header lies about its layout, read past its end or shown garbled instead of
// counting as missing.
TEST(BmpReader, ReadsWellFormedPicturesInPlaceAndRefusesCutOrLyingOnes)
{
    BmpImage image;
    std::vector<unsigned char> b = ValidBmp();
    Put(b, {"size", 2, 4, 0xffffffffu});
    ASSERT_TRUE(Accepts(b, b.size(), image));
    EXPECT_TRUE(image.width == 3 && image.height == 2 && image.pixels == b.data() + 54);
    b.insert(b.begin() + 54, 84 + 16, 0);
    Put(b, {"V5 header", 14, 4, 124});
    Put(b, {"offset past a gap", 10, 4, 54 + 84 + 16});
    ASSERT_TRUE(Accepts(b, b.size(), image));
    EXPECT_EQ(image.pixels, b.data() + 154);

    const std::vector<unsigned char> valid = ValidBmp();
    for (std::size_t size = 0; size < valid.size(); ++size)
        EXPECT_FALSE(Accepts(valid, size, image)) << "cut to " << size;
    EXPECT_FALSE(ReadBmp(nullptr, valid.size(), image));
    for (const Field& lie : {Field{"signature", 0, 2, 0x4142}, {"offset past the end", 10, 4, 60},
                             {"offset inside the headers", 10, 4, 40}, {"offset near 4 GiB", 10, 4, 0xffffffffu},
                             {"info header too small", 14, 4, 12}, {"info header past the offset", 14, 4, 41},
                             {"info header near 4 GiB", 14, 4, 0xfffffff0u}, {"zero width", 18, 4, 0},
                             {"negative width", 18, 4, 0xfffffffdu}, {"rows wider than the data", 18, 4, 5},
                             {"huge width", 18, 4, 0x7fffffffu}, {"zero height", 22, 4, 0},
                             {"top-down rows", 22, 4, 0xfffffffeu}, {"most negative height", 22, 4, 0x80000000u},
                             {"one row more than the data", 22, 4, 3}, {"huge height", 22, 4, 0x40000000u},
                             {"no planes", 26, 2, 0}, {"two planes", 26, 2, 2}, {"8 bits", 28, 2, 8},
                             {"16 bits", 28, 2, 16}, {"32 bits", 28, 2, 32}, {"run-length compression", 30, 4, 1},
                             {"bit-field compression", 30, 4, 3}}) {
        b = valid;
        Put(b, lie);
        EXPECT_FALSE(Accepts(b, b.size(), image)) << lie.what;
    }
}
