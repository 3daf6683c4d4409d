#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "render/vector3.h"

namespace {
std::vector<float> Xyz(const Vector3& v) { return {v.getX(), v.getY(), v.getZ()}; }
} // namespace

// Would catch: a cross product of the wrong sign (every face lit from behind),
// a difference taken the other way, a normalise that divides (the face normals round differently from the float
// reciprocal's product), a length squared in float (overflow), or a
// degenerate vector (zero, NaN) left as anything but zero; or components read
// out of order, or a failed read storing something.
TEST(Vector3, ArithmeticNormaliseAndReadKeepTheirRules)
{
    EXPECT_EQ(Xyz(Vector3(1, 0, 0).cross(Vector3(0, 1, 0))), Xyz(Vector3(0, 0, 1)));
    EXPECT_EQ(Xyz(Vector3(0, 0, 1).cross(Vector3(1, 0, 0))), Xyz(Vector3(0, 1, 0)));
    EXPECT_EQ(Xyz(Vector3(1, 2, 3) - Vector3(1, 1, 1)), Xyz(Vector3(0, 1, 2)));

    // For (3, 14, 0) the product with the rounded reciprocal and the quotient differ.
    Vector3 w(3, 14, 0);
    const float reciprocal = static_cast<float>(1.0 / w.length());
    w.normalise();
    EXPECT_EQ(Xyz(w), Xyz(Vector3(3.0f * reciprocal, 14.0f * reciprocal, 0)));
    EXPECT_FLOAT_EQ(Vector3(3e20f, 4e20f, 0).length(), 5e20f);
    for (Vector3 v : {Vector3(), Vector3(1, NAN, 2)}) {
        v.normalise();
        EXPECT_EQ(Xyz(v), Xyz(Vector3()));
    }

    // Components are read in order; a failed extraction (a letter, a number too
    // large for a float, the end of the text, a stream that already failed)
    // keeps the old component instead of storing something.
    const struct {
        const char* text;
        std::vector<float> read;
    } cases[] = {{"  1\t2.5\n-3", {1, 2.5f, -3}}, {"1 x 3", {1, 8, 9}}, {"2 1e60 4", {2, 8, 9}}, {"5 6", {5, 6, 9}}};
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        Vector3 v(7, 8, 9);
        v.read(in);
        EXPECT_EQ(Xyz(v), c.read) << c.text;
        v.read(in); // a second read from a failed or finished stream changes nothing
        EXPECT_EQ(Xyz(v), c.read) << c.text;
    }
}
