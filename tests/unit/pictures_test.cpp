#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

TEST(Pictures, EveryPictureHasItsPowerOfTwoSize)
{
    const struct {
        unsigned int id;
        int side;
    } expected[] = {{109, 128}, {110, 32}, {111, 128}, {112, 128}, {116, 128}, {117, 32}, {118, 512}};
    for (const auto& picture : expected) {
        BitmapSource source(picture.id);
        ASSERT_TRUE(source.isLoaded()) << "bitmap " << picture.id;
        EXPECT_EQ(source.getWidth(), picture.side) << "bitmap " << picture.id;
        EXPECT_EQ(source.getHeight(), picture.side) << "bitmap " << picture.id;
    }
}

TEST(Pictures, IdsWithoutAPictureLoadNothing)
{
    for (unsigned int id : {0u, 1u, 108u, 113u, 115u, 119u, 255u, 365u}) {
        BitmapSource source(id);
        EXPECT_FALSE(source.isLoaded()) << "id " << id;
        EXPECT_EQ(source.getPixels(), nullptr) << "id " << id;
        EXPECT_EQ(source.getWidth(), 0) << "id " << id;
        EXPECT_EQ(source.getHeight(), 0) << "id " << id;
    }
}

// The model's texture is one flat colour; a stray byte anywhere (in a row's
// padding read as a pixel, or channels swapped) would tint the model.
TEST(Pictures, GoldIsOneFlatColourInEveryTexel)
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
}

// These are drawn additively: any light at the edge of the square would show
// as a box around every particle, logo and the background.
TEST(Pictures, AdditivePicturesHaveBlackBorders)
{
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

TEST(Pictures, GlowIsWhiteInTheMiddleAndSoftAround)
{
    BitmapSource glow(110);
    ASSERT_TRUE(glow.isLoaded());
    for (int y = 15; y <= 16; ++y)
        for (int x = 15; x <= 16; ++x) {
            const Rgb c = texel(glow, x, y);
            EXPECT_TRUE(c.r == 255 && c.g == 255 && c.b == 255) << x << "," << y;
        }
    // About half brightness five to six pixels out, the same in all four directions.
    for (const Rgb c : {texel(glow, 21, 16), texel(glow, 10, 16), texel(glow, 16, 21), texel(glow, 16, 10)}) {
        EXPECT_GT(c.g, 90);
        EXPECT_LT(c.g, 170);
        EXPECT_EQ(c.r, c.g);
        EXPECT_EQ(c.b, c.g);
    }
}

// The caption sits centred in its square, about 72 by 18 texels, in gold.
TEST(Pictures, CaptionIsACentredGoldWord)
{
    BitmapSource caption(111);
    ASSERT_TRUE(caption.isLoaded());
    const Extent e = litExtent(caption);
    EXPECT_NEAR(e.right - e.left + 1, 72, 4);
    EXPECT_NEAR(e.bottom - e.top + 1, 18, 3);
    EXPECT_NEAR(e.left + e.right, 127, 3);
    EXPECT_NEAR(e.top + e.bottom, 127, 3);
    int brightest = 0;
    Rgb gold{0, 0, 0};
    for (int y = e.top; y <= e.bottom; ++y)
        for (int x = e.left; x <= e.right; ++x) {
            const Rgb c = texel(caption, x, y);
            if (c.r > brightest) {
                brightest = c.r;
                gold = c;
            }
        }
    EXPECT_NEAR(gold.r, 211, 12);
    EXPECT_NEAR(gold.g, 144, 12);
    EXPECT_LT(gold.b, 30);
}

TEST(Pictures, TitleFillsTheWidthAndTheMiddleHalf)
{
    BitmapSource title(112);
    ASSERT_TRUE(title.isLoaded());
    const Extent e = litExtent(title);
    EXPECT_LE(e.left, 4);
    EXPECT_GE(e.right, 123);
    EXPECT_NEAR(e.top, 32, 6);
    EXPECT_NEAR(e.bottom, 95, 6);
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

// A falling sparkle leans to the right at its top.
TEST(Pictures, StreakLeansRightAtItsTop)
{
    BitmapSource streak(117);
    ASSERT_TRUE(streak.isLoaded());
    const Extent e = litExtent(streak);
    EXPECT_NEAR(e.bottom - e.top + 1, 21, 3);
    auto litCentre = [&](int y) {
        int sum = 0, weight = 0;
        for (int x = 0; x < streak.getWidth(); ++x) {
            sum += x * texel(streak, x, y).g;
            weight += texel(streak, x, y).g;
        }
        return weight > 0 ? double(sum) / weight : -1.0;
    };
    const double top = litCentre(e.top + 3);
    const double bottom = litCentre(e.bottom - 3);
    ASSERT_GE(top, 0.0);
    ASSERT_GE(bottom, 0.0);
    EXPECT_GT(top - bottom, 1.0);
    EXPECT_LT(top - bottom, 5.0);
}

// A field of sparse points with a few coloured stars, not a fog or a blank.
TEST(Pictures, StarsAreSparsePointsSomeOfThemColoured)
{
    BitmapSource stars(118);
    ASSERT_TRUE(stars.isLoaded());
    int lit = 0, coloured = 0;
    for (int y = 0; y < stars.getHeight(); ++y)
        for (int x = 0; x < stars.getWidth(); ++x) {
            const Rgb c = texel(stars, x, y);
            lit += !isBlack(c);
            coloured += std::abs(c.r - c.b) > 100;
        }
    EXPECT_GT(lit, 1300);
    EXPECT_LT(lit, 2500);
    EXPECT_GE(coloured, 5);
}
