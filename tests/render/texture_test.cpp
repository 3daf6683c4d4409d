#include "tests/render/primitives_fixture.h"

#include <cstring>

#include "render/bitmap_texture.h"
#include "render/sprite.h"
#include "resources/bitmap_source.h"

using BitmapTexture = PrimitivesTest;

// Each picture goes up with its own size, three components, linear filters and
// exactly its bytes: read back in the seam's layout (blue-green-red, bottom row
// first, rows padded to four bytes) it must equal the seam's pixels.
TEST_F(BitmapTexture, UploadsEachPictureAsItsSeamGivesIt)
{
    const struct {
        unsigned char id;
        int side;
    } pictures[] = {{109, 128}, {110, 32}, {111, 128}, {112, 128}, {116, 128}, {117, 32}, {118, 512}};
    for (const auto& picture : pictures) {
        const unsigned int name = LoadBitmapTexture(picture.id);
        ASSERT_NE(name, 0u);
        GLint bound = 0, width = 0, height = 0, format = 0, minFilter = 0, magFilter = 0, alignment = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), name) << int(picture.id);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(width, picture.side) << int(picture.id);
        EXPECT_EQ(height, picture.side) << int(picture.id);
        EXPECT_TRUE(format == 3 || format == GL_RGB) << int(picture.id) << " format " << format;
        EXPECT_EQ(minFilter, GL_LINEAR);
        EXPECT_EQ(magFilter, GL_LINEAR);
        EXPECT_EQ(alignment, 4);

        const BitmapSource source(picture.id);
        ASSERT_TRUE(source.isLoaded());
        const std::size_t stride = (std::size_t(picture.side) * 3 + 3) / 4 * 4;
        std::vector<unsigned char> texels(stride * picture.side);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, texels.data());
        const unsigned char* pixels = static_cast<const unsigned char*>(source.getPixels());
        for (int row = 0; row < picture.side; ++row)
            ASSERT_EQ(std::memcmp(texels.data() + row * stride, pixels + row * stride, picture.side * 3u), 0)
                << "picture " << int(picture.id) << " row " << row;
    }
}

// A missing bitmap still uses up a fresh name; the sprite holding it draws
// untextured, which translucent at alpha 1 is plain white on black.
TEST_F(BitmapTexture, MissingBitmapGivesAFreshNameThatDrawsUntextured)
{
    const unsigned int first = LoadBitmapTexture(200);
    const unsigned int second = LoadBitmapTexture(200);
    const unsigned int gold = LoadBitmapTexture(109);
    const unsigned int goldAgain = LoadBitmapTexture(109);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_NE(gold, goldAgain);

    Sprite sprite(first, true, 1.0f, Vector3(0, 0, -5));
    sprite.draw();
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    expectNear(at(0, 0, -5), 255, 255, 255, 0, "untextured quad");
}

// A 2 x 2 texture with four different texels, laid out as the seam lays out
// pictures (bottom row first, blue-green-red): each texel must show at the
// matching corner of a default quad, the picture's top-left at the top-left.
TEST_F(BitmapTexture, PictureShowsUprightAndUnmirrored)
{
    const unsigned char bgr[] = {
        255, 0, 0, 0, 255, 0, 0, 0, // bottom row: blue (left), green (right), padding
        0, 0, 255, 255, 255, 255, 0, 0, // top row: red (left), white (right), padding
    };
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, bgr);
    // Nearest filtering keeps each quarter of the quad one texel's colour.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    Sprite sprite(name, true, 1.0f, Vector3(0, 0, -5));
    sprite.draw();
    expectNear(at(-0.5, 0.5, -5), 255, 0, 0, 0, "top left");
    expectNear(at(0.5, 0.5, -5), 255, 255, 255, 0, "top right");
    expectNear(at(-0.5, -0.5, -5), 0, 0, 255, 0, "bottom left");
    expectNear(at(0.5, -0.5, -5), 0, 255, 0, 0, "bottom right");
}

// The floor picture through the real seam: its top-left tile is light, the
// tile to its right and the one below dark (about 224 and 75).
TEST_F(BitmapTexture, FloorPictureHasItsLightTileTopLeft)
{
    Sprite floor(LoadBitmapTexture(116), true, 1.0f, Vector3(0, 0, -5));
    floor.draw();
    // Tile centres of a 4 x 4 board on the quad from -1 to 1: +-0.75 and +-0.25.
    EXPECT_GT(at(-0.75, 0.75, -5).g, 150) << "top-left tile";
    EXPECT_LT(at(-0.25, 0.75, -5).g, 120) << "second tile of the top row";
    EXPECT_LT(at(-0.75, 0.25, -5).g, 120) << "first tile of the second row";
    EXPECT_GT(at(-0.25, 0.25, -5).g, 150) << "second tile of the second row";
    dump("texture-floor");
}
