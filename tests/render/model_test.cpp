#include "tests/render/primitives_fixture.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "mesh/model.h"
#include "render/bitmap_texture.h"
#include "resources/mesh_text_data.h"

using MeshDraw = PrimitivesTest;

namespace {
const std::string kText(kMeshTextData, kMeshTextDataSize);

MeshPart PartFrom(const std::string& text, const Vector3& position)
{
    MeshPart part;
    std::istringstream in(text);
    part.read(in);
    part.setPosition(position);
    return part;
}

Vector3 Scaled(const Vector3& v, float s) { return Vector3(v.getX() * s, v.getY() * s, v.getZ() * s); }

// One line of mesh text for a triangle that, after a part's fixed orientation,
// sits around `centre` (relative to the part's position) facing along the unit
// vector `normal`. The orientation maps a text point (x, y, z) to
// ((x - z) / sqrt 2, -(x + z) / sqrt 2, y - 0.9); this is its inverse.
std::string FaceFacing(const Vector3& centre, const Vector3& normal, float size)
{
    const Vector3 helper = std::fabs(normal.getX()) < 0.9f ? Vector3(1, 0, 0) : Vector3(0, 1, 0);
    Vector3 t1 = helper.cross(normal);
    t1.normalise();
    const Vector3 t2 = normal.cross(t1); // t1 x t2 = normal: counter-clockwise seen from the normal's side
    const Vector3 corners[3] = {centre - Scaled(t1, size) - Scaled(t2, size),
                                centre + Scaled(t1, 2 * size) - Scaled(t2, size),
                                centre - Scaled(t1, size) + Scaled(t2, 2 * size)};
    std::ostringstream line;
    line.setf(std::ios::fixed);
    line.precision(6);
    const double root2 = std::sqrt(2.0);
    for (const Vector3& e : corners)
        line << (e.getX() - e.getY()) / root2 << ' ' << e.getZ() + 0.9 << ' ' << -(e.getX() + e.getY()) / root2
             << ' ';
    line << '\n';
    return line.str();
}

// Fixed-function lighting of an untextured face under the scene's light 1:
// global ambient 0.2 x material 0.2, light ambient 0.5 x 0.2, and diffuse
// 1.0 x 0.8 x (N . L) with N the normal as sent, twice unit length.
int LitLevel(const Vector3& point, const Vector3& unitNormal)
{
    Vector3 toLight = Vector3(0, 1, 2) - point;
    toLight.normalise();
    const double nDotL = 2.0 * (unitNormal.getX() * toLight.getX() + unitNormal.getY() * toLight.getY() +
                                unitNormal.getZ() * toLight.getZ());
    const double level = 0.04 + 0.1 + 0.8 * std::max(0.0, nDotL);
    return int(std::lround(std::min(1.0, level) * 255.0));
}

Vector3 Unit(float x, float y, float z)
{
    Vector3 v(x, y, z);
    v.normalise();
    return v;
}
} // namespace

// Would catch: a part unlit, smooth-shaded, or its normal not doubled. Drawn
// opaque, a part is lit by light 1 with one doubled normal per face: two
// faces that lean different ways each take one even colour, the level the
// lighting equation gives at their centre (within 6 levels; the light is
// positional, so a face varies by a few levels across its corners). Drawn
// translucent, the same faces are unlit: both add the same white x alpha.
TEST_F(MeshDraw, OpaquePartIsLitPerFaceAndTranslucentIsNot)
{
    const Vector3 position(0, 0, -4.5f);
    const Vector3 leftCentre(-0.7f, 0, 0), rightCentre(0.7f, 0, 0);
    const Vector3 leftNormal = Unit(0, 0.95f, 0.312f), rightNormal = Unit(0.95f, 0, 0.312f);
    MeshPart part = PartFrom(FaceFacing(leftCentre, leftNormal, 0.5f) + FaceFacing(rightCentre, rightNormal, 0.5f),
                             position);
    part.draw();

    const int left = LitLevel(position + leftCentre, leftNormal);
    const int right = LitLevel(position + rightCentre, rightNormal);
    ASSERT_GT(left - right, 40) << "the two faces should be told apart";
    const Vector3 centres[2] = {position + leftCentre, position + rightCentre};
    const int expected[2] = {left, right};
    for (int face = 0; face < 2; ++face) {
        const Window c = project(centres[face].getX(), centres[face].getY(), centres[face].getZ());
        const OffscreenContext::Rgb middle = at(c);
        expectNear(middle, expected[face], expected[face], expected[face], 6, "face " + std::to_string(face));
        for (const Window w : {Window{c.x - 3, c.y}, Window{c.x + 3, c.y}, Window{c.x, c.y - 3}, Window{c.x, c.y + 3}})
            expectNear(at(w), middle.r, middle.g, middle.b, 3, "around face " + std::to_string(face));
    }

    clear();
    part.setTranslucent(true);
    part.setAlpha(0.5f);
    part.draw();
    for (const Vector3& c : centres)
        expectNear(at(c.getX(), c.getY(), c.getZ()), 128, 128, 128, 1, "translucent face");
}

// Would catch: the spin wrapping at 360 instead of after it, or a stopped part
// not shown face-on at once. Parts draw at 0, 1, ..., 360 degrees and then 0
// again, the angle taken before each advance. At 90 degrees the upright plate
// is edge-on, so a point of its face beside the axis is empty.
TEST_F(MeshDraw, SpinRunsZeroToThreeSixtyInclusiveAndStopsFaceOn)
{
    MeshPart part = PartFrom(kText, Vector3(0, 0, -5));
    part.setTranslucent(true);
    part.setAlpha(1.0f);
    part.setSpin(true);
    for (int draw = 0; draw < 360; ++draw)
        part.draw();
    EXPECT_EQ(part.getSpinAngle(), 360.0f);
    part.draw(); // drawn at 360
    EXPECT_EQ(part.getSpinAngle(), 0.0f);
    for (int draw = 0; draw < 90; ++draw)
        part.draw();
    clear();
    part.draw(); // at 90 degrees
    EXPECT_TRUE(isBlack(at(0.8, 0.3, -5))) << "edge-on plate still covers the side";
    part.setSpin(false);
    clear();
    part.draw();
    EXPECT_FALSE(isBlack(at(0.8, 0.3, -5))) << "stopped plate not shown face-on";
    part.setSpin(true);
    EXPECT_EQ(part.getSpinAngle(), 0.0f);
}

// Would catch: the parts misplaced, or the model's opaque draw taking its alpha
// or its translucent state. Scaled by (0.35, 0.5, 0.5) at (0, 0, -5) the three
// parts outline one upright triangle with apex (0, 0.69), base corners
// (+-0.96, -0.69) and an empty downward triangle in the middle: drawn
// translucent and untextured at alpha 1 every covered probe is exactly white,
// every other black. Opaque at alpha 0 it still draws, lit: the plate's face
// towards the viewer shows the flat gold texel, within 3 levels.
TEST_F(MeshDraw, ModelPartsStandAsOneUprightTriangleAndOpaqueIgnoresAlpha)
{
    Model model;
    std::istringstream in(kText);
    model.load(in);
    model.setPosition(Vector3(0, 0, -5));
    model.setTranslucent(true);
    model.setAlpha(1.0f);
    model.draw();
    const struct {
        float x, y;
        bool covered;
        const char* where;
    } probes[] = {
        {0.0f, 0.4f, true, "apex part"},
        {-0.48f, -0.45f, true, "lower-left part"},
        {0.48f, -0.45f, true, "lower-right part"},
        {-0.6f, 0.4f, false, "left of the apex"},
        {0.6f, 0.4f, false, "right of the apex"},
        {0.0f, -0.25f, false, "gap between the parts"},
        {0.0f, -0.85f, false, "below the base"},
        {0.0f, 0.8f, false, "above the apex"},
        {-0.85f, -0.62f, true, "near the lower-left corner"},
        {0.85f, -0.62f, true, "near the lower-right corner"},
        {-1.05f, -0.62f, false, "left of the base"},
        {1.05f, -0.62f, false, "right of the base"},
    };
    for (const auto& probe : probes) {
        const OffscreenContext::Rgb c = at(probe.x, probe.y, -5);
        if (probe.covered)
            expectNear(c, 255, 255, 255, 0, probe.where);
        else
            EXPECT_TRUE(isBlack(c)) << probe.where;
    }
    expectSwitches(true);

    clear();
    model.setTexture(LoadBitmapTexture(109));
    model.setTranslucent(false);
    model.setAlpha(0.0f);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    model.draw();
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    expectSwitches(false);
    expectNear(at(0.0f, 0.4f, -5), 255, 228, 0, 3, "lit apex part");
    EXPECT_TRUE(isBlack(at(0.6f, 0.4f, -5)));
}
