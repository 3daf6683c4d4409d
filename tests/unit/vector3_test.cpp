#include <gtest/gtest.h>

#include "render/vector3.h"

TEST(Vector3, CrossProductSignDecidesWhichSideIsLit)
{
    const Vector3 up = Vector3(1, 0, 0).cross(Vector3(0, 1, 0));
    EXPECT_EQ(up.getZ(), 1.0f);
    const Vector3 down = Vector3(0, 1, 0).cross(Vector3(1, 0, 0));
    EXPECT_EQ(down.getZ(), -1.0f);
}
