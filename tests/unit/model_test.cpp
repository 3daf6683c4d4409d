#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "mesh/model.h"
#include "resources/mesh_text_data.h"

namespace {
void ExpectPosition(const MeshPart& part, float x, float y, float z)
{
    const Vector3 p = part.getPosition();
    EXPECT_EQ(p.getX(), x);
    EXPECT_EQ(p.getY(), y);
    EXPECT_EQ(p.getZ(), z);
}

bool SameFaces(const MeshPart& a, const MeshPart& b)
{
    if (a.getFaces().size() != b.getFaces().size())
        return false;
    for (std::size_t i = 0; i < a.getFaces().size(); ++i)
        for (int k = 0; k < 3; ++k) {
            const Vector3& u = a.getFaces()[i].vertices[k];
            const Vector3& v = b.getFaces()[i].vertices[k];
            if (u.getX() != v.getX() || u.getY() != v.getY() || u.getZ() != v.getZ())
                return false;
        }
    return true;
}
} // namespace

TEST(Model, LoadGivesEveryPartTheWholeTextAtItsPlace)
{
    std::istringstream in(std::string(kMeshTextData, kMeshTextDataSize));
    Model model;
    // A stream left failed and at its end by earlier use: every part must still
    // start from a reset, rewound stream.
    std::string scratch;
    while (in >> scratch) {
    }
    ASSERT_TRUE(in.fail());
    model.load(in);

    MeshPart reference;
    std::istringstream fresh(std::string(kMeshTextData, kMeshTextDataSize));
    reference.read(fresh);
    ASSERT_EQ(reference.getFaces().size(), 32u);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_TRUE(SameFaces(model.getPart(i), reference)) << "part " << i;
    ExpectPosition(model.getPart(0), 0.0f, 0.0f, 0.0f);
    ExpectPosition(model.getPart(1), 1.36f, -1.38f, 0.0f);
    ExpectPosition(model.getPart(2), -1.36f, -1.38f, 0.0f);

    // A second load gives the same faces, not twice as many.
    model.load(in);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_TRUE(SameFaces(model.getPart(i), reference)) << "part " << i;
}

// A malformed number in one part's read must not carry over to the next part.
TEST(Model, EachPartRecoversFromTheFailureOfTheOneBefore)
{
    std::istringstream in("1 2 3 4 5 6 7 8 x\n");
    Model model;
    model.load(in);
    for (int i = 0; i < Model::kPartCount; ++i) {
        ASSERT_EQ(model.getPart(i).getFaces().size(), 1u);
        EXPECT_EQ(model.getPart(i).getFaces()[0].vertices[2].getY(), 8.0f) << "part " << i;
        EXPECT_EQ(model.getPart(i).getFaces()[0].vertices[2].getZ(), 0.0f) << "part " << i;
    }
}

// The scene judges the fade by the model's alpha and draws with the parts':
// both must follow the same single-precision additions, unclamped.
TEST(Model, FadesKeepModelAndPartsInStepWithoutClamping)
{
    Model model;
    model.setAlpha(0.0f);
    for (int step = 0; step < 100; ++step)
        model.fade(0.01f);
    EXPECT_LT(model.getAlpha(), 1.0f);
    EXPECT_GT(model.getAlpha(), 0.99f);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_EQ(model.getPart(i).getAlpha(), model.getAlpha());
    model.fade(0.01f);
    EXPECT_GT(model.getAlpha(), 1.0f);

    model.setAlpha(0.25f);
    model.fade(-0.5f);
    EXPECT_EQ(model.getAlpha(), -0.25f);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_EQ(model.getPart(i).getAlpha(), -0.25f);
}
