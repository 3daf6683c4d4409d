#include "tests/render/primitives_fixture.h"

#include <cmath>

#include "render/bitmap_texture.h"
#include "render/tilted_sprite.h"

using TiltedSpriteDraw = PrimitivesTest;

namespace {
// The scene's floor: laid flat by 90 degrees about x; its far corner takes the
// extent's origin twice, so a 4 x 4 extent from (-1, -1) covers 3 x 3.
TiltedSprite Floor(unsigned int texture)
{
    TiltedSprite floor(texture, true, 1.0f, Vector3(-0.5f, -1.0f, -5.5f));
    floor.setRect(QuadRect(Vector3(-1.0f, -1.0f, 0.0f), 4.0f, 4.0f));
    floor.setAngle(90.0f);
    return floor;
}
} // namespace

// The floor must span x -1.5..1.5 and z -6.5..-3.5 at height -1. Its edges are
// found by scanning the row through the centre (0, -1, -5) and the column
// through it, and each must lie within 1.5 pixels of the projected edge; a
// far corner at x0 + w would put the right edge at x 2.5 and the near edge at
// z -2.5, dozens of pixels away.
TEST_F(TiltedSpriteDraw, FloorSpansItsThreeByThreeSquare)
{
    Floor(LoadBitmapTexture(109)).draw();
    dump("tilted-floor");

    const Window centre = project(0, -1, -5);
    // The depth at which the centre row's pixel centres meet the floor plane y = -1.
    const int rowY = int(centre.y);
    const double ndcY = (rowY + 0.5) / kHeight * 2.0 - 1.0;
    const double rowDepth = 1.0 / std::tan(std::atan(1.0) / 2) / ndcY;
    const std::pair<int, int> row = litSpanOfRow(rowY);
    EXPECT_NEAR(row.first, project(-1.5, -1, rowDepth).x, 1.5);
    EXPECT_NEAR(row.second, project(1.5, -1, rowDepth).x, 1.5);

    const std::pair<int, int> column = litSpanOfColumn(int(centre.x));
    EXPECT_NEAR(column.first, project(0, -1, -3.5).y, 1.5) << "near edge";
    EXPECT_NEAR(column.second, project(0, -1, -6.5).y, 1.5) << "far edge";

    expectNear(at(0, -1, -5), 255, 228, 0, 1, "centre of the floor");
    EXPECT_TRUE(isBlack(at(2.0, -1, -5))) << "right of the floor";
    EXPECT_TRUE(isBlack(at(0, -1, -3.0))) << "in front of the floor";
}

// Translucent is ordinary alpha blending: at alpha 0.8 over a blue ground the
// pixel is 0.8 of the gold texel plus 0.2 of the blue, within 2 levels.
TEST_F(TiltedSpriteDraw, TranslucentCoversWhatIsBehindInProportionToAlpha)
{
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    clear();
    TiltedSprite floor = Floor(LoadBitmapTexture(109));
    floor.setAlpha(0.8f);
    floor.draw();
    expectNear(at(0, -1, -5), 204, 182, 51, 2, "floor at 0.8 over blue");
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
}

// Opaque drawing switches to depth test and lighting and leaves the current
// colour opaque white, whatever was set before; it writes depth, so a quad
// further back is hidden where the floor is.
TEST_F(TiltedSpriteDraw, OpaqueLeavesWhiteAndWritesDepth)
{
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    TiltedSprite floor = Floor(LoadBitmapTexture(109));
    floor.setTranslucent(false);
    floor.draw();
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    float depth = 0.0f;
    const Window centre = project(0, -1, -5);
    glReadPixels(int(centre.x), int(centre.y), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_LT(depth, 1.0f) << "the opaque floor wrote no depth";
}
