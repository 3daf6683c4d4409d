#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "render/vector3.h"

namespace {
void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_EQ(v.getX(), x);
    EXPECT_EQ(v.getY(), y);
    EXPECT_EQ(v.getZ(), z);
}
} // namespace

// Would catch: a cross product of the wrong sign (the lit side of every face
// flips), a difference taken the other way, or += not handing back the vector.
TEST(Vector3, CrossDifferenceAndSumKeepTheirOrder)
{
    ExpectVector(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), 0, 0, 1);
    ExpectVector(Vector3(0, 0, 1).cross(Vector3(1, 0, 0)), 0, 1, 0);
    const Vector3 a(1, 2, 3);
    ExpectVector(a - Vector3(1, 1, 1), 0, 1, 2);
    Vector3 c(1, 1, 1);
    (c += a) += a;
    ExpectVector(c, 3, 5, 7);
}

// Would catch: normalising by division instead of the float reciprocal (the
// face normals round differently), a length squared in float (overflow), or a
// degenerate vector (zero, NaN) left as anything but zero.
TEST(Vector3, NormaliseMultipliesByTheRoundedReciprocalAndZeroesDegenerates)
{
    // For (3, 14, 0) the two ways round to different floats.
    Vector3 w(3, 14, 0);
    const float len = w.length();
    const float reciprocal = static_cast<float>(1.0 / len);
    ASSERT_NE(3.0f * reciprocal, 3.0f / len);
    w.normalise();
    ExpectVector(w, 3.0f * reciprocal, 14.0f * reciprocal, 0);
    EXPECT_FLOAT_EQ(Vector3(3e20f, 4e20f, 0).length(), 5e20f);
    for (Vector3 v : {Vector3(), Vector3(1, std::numeric_limits<float>::quiet_NaN(), 2)}) {
        v.normalise();
        ExpectVector(v, 0, 0, 0);
    }
}

// Would catch: components read out of order, or a failed extraction (a
// letter, a number too large for a float, the end of the text, a stream that
// already failed) storing something instead of keeping the old component.
TEST(Vector3, ReadTakesXYZInOrderAndFailuresKeepTheOldComponents)
{
    std::istringstream in("  1\t2.5\n-3");
    Vector3 v(9, 9, 9);
    v.read(in);
    ExpectVector(v, 1, 2.5f, -3);
    EXPECT_FALSE(in.fail());

    const struct {
        const char* text;
        float x, y, z;
    } failures[] = {{"1 x 3", 1, 8, 9}, {"2 1e60 4", 2, 8, 9}, {"5 6", 5, 6, 9}};
    for (const auto& f : failures) {
        std::istringstream bad(f.text);
        Vector3 w(7, 8, 9);
        w.read(bad);
        ExpectVector(w, f.x, f.y, f.z);
        EXPECT_TRUE(bad.fail()) << f.text;
        w.read(bad); // a failed stream changes nothing
        ExpectVector(w, f.x, f.y, f.z);
    }
}
