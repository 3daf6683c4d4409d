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

TEST(Vector3, CrossProductSignDecidesWhichSideIsLit)
{
    ExpectVector(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), 0, 0, 1);
    ExpectVector(Vector3(0, 1, 0).cross(Vector3(1, 0, 0)), 0, 0, -1);
    ExpectVector(Vector3(0, 0, 1).cross(Vector3(1, 0, 0)), 0, 1, 0);
}

TEST(Vector3, DifferenceIsThisMinusOtherAndSumsLeaveOperands)
{
    const Vector3 a(1, 2, 3);
    const Vector3 b(1, 1, 1);
    ExpectVector(a - b, 0, 1, 2);
    ExpectVector(a + b, 2, 3, 4);
    ExpectVector(a, 1, 2, 3);
    Vector3 c(1, 1, 1);
    // += hands back the vector itself, so a chained use sees the update.
    (c += a) += a;
    ExpectVector(c, 3, 5, 7);
}

TEST(Vector3, NormaliseMultipliesByTheRoundedReciprocal)
{
    Vector3 v(3, 0, 4);
    EXPECT_EQ(v.length(), 5.0f);
    v.normalise();
    EXPECT_FLOAT_EQ(v.getX(), 0.6f);
    EXPECT_EQ(v.getY(), 0.0f);
    EXPECT_FLOAT_EQ(v.getZ(), 0.8f);

    // For (3, 14, 0) multiplying by the float reciprocal and dividing by the
    // length round to different floats; the face normals depend on which.
    Vector3 w(3, 14, 0);
    const float len = w.length();
    const float reciprocal = static_cast<float>(1.0 / len);
    ASSERT_NE(3.0f * reciprocal, 3.0f / len);
    w.normalise();
    EXPECT_EQ(w.getX(), 3.0f * reciprocal);
    EXPECT_EQ(w.getY(), 14.0f * reciprocal);

    // The length is taken in double precision: float squares would overflow here.
    EXPECT_FLOAT_EQ(Vector3(3e20f, 4e20f, 0).length(), 5e20f);
}

TEST(Vector3, DegenerateVectorsNormaliseToZero)
{
    Vector3 zero;
    zero.normalise();
    ExpectVector(zero, 0, 0, 0);
    // A NaN component must not leave NaNs behind to poison a face normal.
    Vector3 poisoned(1, std::numeric_limits<float>::quiet_NaN(), 2);
    poisoned.normalise();
    ExpectVector(poisoned, 0, 0, 0);
}

TEST(Vector3, ReadTakesXYZInOrder)
{
    std::istringstream in("  1\t2.5\n-3");
    Vector3 v(9, 9, 9);
    v.read(in);
    ExpectVector(v, 1, 2.5f, -3);
    // The last number ended the text: stored, and the stream is at its end.
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.fail());
}

TEST(Vector3, FailedExtractionKeepsTheOldComponents)
{
    std::istringstream letter("1 x 3");
    Vector3 v(7, 8, 9);
    v.read(letter);
    ExpectVector(v, 1, 8, 9);
    EXPECT_TRUE(letter.fail());

    // A stream that has already failed changes nothing.
    v.read(letter);
    ExpectVector(v, 1, 8, 9);

    // Out of range for a float: the extraction fails and would store the
    // float's limit; the component must keep its value instead.
    std::istringstream huge("2 1e60 4");
    Vector3 h(7, 8, 9);
    h.read(huge);
    ExpectVector(h, 2, 8, 9);
    EXPECT_TRUE(huge.fail());

    // The end of the text comes before z: z keeps its value.
    std::istringstream shortText("5 6");
    Vector3 s(7, 8, 9);
    s.read(shortText);
    ExpectVector(s, 5, 6, 9);
}
