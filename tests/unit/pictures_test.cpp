#include <gtest/gtest.h>

#include <algorithm>

#include "resources/bitmap_source.h"

// The pictures as the program gets them: through the bitmap seam, in the
// layout the textures upload (blue-green-red, bottom row first, rows padded
// to four bytes). The helpers count rows from the top of the picture, as a
// viewer shows it, so a flipped or mis-strided reading shows up as a wrong place.
namespace {
struct Rgb {
    int r, g, b;
};

Rgb texel(const BitmapSource& source, int x, int yFromTop)
{
    const int stride = (source.getWidth() * 3 + 3) / 4 * 4;
    const unsigned char* row = static_cast<const unsigned char*>(source.getPixels()) +
                               (source.getHeight() - 1 - yFromTop) * stride;
    const unsigned char* p = row + x * 3;
    return {p[2], p[1], p[0]};
}

bool isBlack(const Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

struct Extent {
    int left, top, right, bottom; // inclusive; left > right when nothing is lit
};

Extent litExtent(const BitmapSource& source)
{
    Extent e{source.getWidth(), source.getHeight(), -1, -1};
    for (int y = 0; y < source.getHeight(); ++y)
        for (int x = 0; x < source.getWidth(); ++x)
            if (!isBlack(texel(source, x, y))) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}
} // namespace

// Would catch: a picture missing, of the wrong size, or an unknown id loading something.
TEST(Pictures, EveryPictureHasItsPowerOfTwoSizeAndOtherIdsLoadNothing)
{
    const struct {
        unsigned int id;
        int side;
    } expected[] = {{109, 128}, {110, 32}, {111, 128}, {112, 128}, {116, 128}, {117, 32}, {118, 512},
                    {0, 0},     {108, 0},  {113, 0},   {115, 0},   {119, 0},   {365, 0}};
    for (const auto& picture : expected) {
        BitmapSource source(picture.id);
        EXPECT_EQ(source.isLoaded(), picture.side > 0) << "bitmap " << picture.id;
        EXPECT_EQ(source.getPixels() != nullptr, picture.side > 0) << "bitmap " << picture.id;
        EXPECT_EQ(source.getWidth(), picture.side) << "bitmap " << picture.id;
        EXPECT_EQ(source.getHeight(), picture.side) << "bitmap " << picture.id;
    }
}

// Would catch: a stray byte in the model's one flat colour (a row's padding
// read as a pixel, channels swapped: it would tint the model), or light at the
// edge of a picture drawn additively (a box around every particle and logo).
TEST(Pictures, GoldIsFlatInEveryTexelAndAdditivePicturesHaveBlackBorders)
{
    BitmapSource gold(109);
    ASSERT_TRUE(gold.isLoaded());
    int wrong = 0;
    for (int y = 0; y < gold.getHeight(); ++y)
        for (int x = 0; x < gold.getWidth(); ++x) {
            const Rgb c = texel(gold, x, y);
            wrong += c.r != 255 || c.g != 228 || c.b != 0;
        }
    EXPECT_EQ(wrong, 0);
    for (unsigned int id : {110u, 111u, 112u, 117u, 118u}) {
        BitmapSource source(id);
        ASSERT_TRUE(source.isLoaded()) << "bitmap " << id;
        const int last = source.getWidth() - 1;
        int lit = 0;
        for (int i = 0; i <= last; ++i)
            lit += !isBlack(texel(source, i, 0)) + !isBlack(texel(source, i, last)) +
                   !isBlack(texel(source, 0, i)) + !isBlack(texel(source, last, i));
        EXPECT_EQ(lit, 0) << "bitmap " << id;
    }
}

// Would catch: a logo off centre or shrunk: the caption is a centred gold word
// about 72 by 18 texels; the title fills the width and the middle half.
TEST(Pictures, LogosSitWhereTheyShouldInGold)
{
    BitmapSource caption(111);
    ASSERT_TRUE(caption.isLoaded());
    const Extent e = litExtent(caption);
    EXPECT_NEAR(e.right - e.left + 1, 72, 4);
    EXPECT_NEAR(e.bottom - e.top + 1, 18, 3);
    EXPECT_NEAR(e.left + e.right, 127, 3);
    EXPECT_NEAR(e.top + e.bottom, 127, 3);
    Rgb gold{0, 0, 0};
    for (int y = e.top; y <= e.bottom; ++y)
        for (int x = e.left; x <= e.right; ++x)
            if (texel(caption, x, y).r > gold.r)
                gold = texel(caption, x, y);
    EXPECT_NEAR(gold.r, 211, 12);
    EXPECT_NEAR(gold.g, 144, 12);
    EXPECT_LT(gold.b, 30);

    BitmapSource title(112);
    ASSERT_TRUE(title.isLoaded());
    const Extent t = litExtent(title);
    EXPECT_LE(t.left, 4);
    EXPECT_GE(t.right, 123);
    EXPECT_NEAR(t.top, 32, 6);
    EXPECT_NEAR(t.bottom, 95, 6);
}

// The floor's orientation: read upside down, the top-left tile would be dark.
TEST(Pictures, FloorHasALightTileAtTheTopLeftAndLinesBetweenTiles)
{
    BitmapSource floor(116);
    ASSERT_TRUE(floor.isLoaded());
    for (int ty = 0; ty < 4; ++ty)
        for (int tx = 0; tx < 4; ++tx) {
            const Rgb c = texel(floor, tx * 32 + 16, ty * 32 + 16);
            const int expected = (tx + ty) % 2 == 0 ? 224 : 75;
            EXPECT_NEAR(c.g, expected, 30) << "tile " << tx << "," << ty;
        }
    for (int i : {0, 32, 64, 96}) {
        const Rgb line = texel(floor, i, 48);
        EXPECT_TRUE(line.r == 251 && line.g == 250 && line.b == 245) << "column " << i;
        const Rgb across = texel(floor, 80, i);
        EXPECT_TRUE(across.r == 251 && across.g == 250 && across.b == 245) << "row " << i;
    }
}
