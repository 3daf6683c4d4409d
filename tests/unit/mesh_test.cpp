#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "mesh/model.h"
#include "resources/mesh_text_data.h"

namespace {
// The components of a part's faces, nine a face, in text order.
std::vector<float> Components(const MeshPart& part)
{
    std::vector<float> out;
    for (const Triangle& face : part.getFaces())
        for (const Vector3& v : face.vertices)
            out.insert(out.end(), {v.getX(), v.getY(), v.getZ()});
    return out;
}

std::vector<float> Read(const std::string& text)
{
    std::istringstream in(text);
    MeshPart part;
    part.read(in);
    return Components(part);
}

const std::vector<float> kOne{1, 2, 3, 4, 5, 6, 7, 8, 9};
} // namespace

// Would catch: faces counted other than by lines (a last line without its LF
// lost, a final LF or a CR starting another face, a blank line skipped),
// numbers taken per line instead of in order, or a malformed or too large
// number stored instead of ending the reading (the rest of the part stays zero).
TEST(MeshReader, OneFacePerLineFilledWithTheNumbersInOrder)
{
    const struct {
        const char* text;
        std::vector<float> components;
    } cases[] = {
        {"1 2 3 4 5 6 7 8 9\n", kOne},
        {"1 2 3 4 5 6 7 8 9", kOne},
        {"1 2 3 4 5 6 7 8 9\r\n", kOne},
        {"1 2 3 4 5 6 7 8 9\n\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"1 2 3 4 5 6 7 8\n9 1 2 3 4 5 6 7 8\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"1 2 3 4 5 6 7 8 9\n1 2 x3 4 5 6 7 8 9\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 0, 0, 0, 0, 0, 0, 0}},
        {"1 2 3 4 5 6 7 1e99 9\n", {1, 2, 3, 4, 5, 6, 7, 0, 0}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.text), c.components) << c.text;

    // Reading again replaces the faces: a shorter text drops the rest.
    std::istringstream two("1 2 3 4 5 6 7 8 9\n1 2 3 4 5 6 7 8 9\n"), one("9 8 7 6 5 4 3 2 1");
    MeshPart part;
    part.read(two);
    part.read(one);
    EXPECT_EQ(Components(part), (std::vector<float>{9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

// Would catch: a part reading on from where the one before left the stream
// (at its end, failed), so that only the first part has faces.
TEST(Model, EveryPartReadsTheWholeTextFromAResetStream)
{
    for (const char* text : {"1 2 3 4 5 6 7 8 9\n1 2 3 4 5 6 7 8 9\n", "1 2 3 4 5 6 7 8 x\n"}) {
        std::istringstream in(text);
        for (std::string scratch; in >> scratch;) {
        }
        Model model;
        model.load(in);
        const std::vector<float> expected = Read(text);
        for (int i = 0; i < Model::kPartCount; ++i)
            EXPECT_EQ(Components(model.getPart(i)), expected) << text << " part " << i;
    }
}

// Would catch: a face of the built-in plate wound the other way, lit from
// behind. The plate is convex, so every face's normal points away from its centre.
TEST(MeshText, EveryFaceOfTheBuiltInPlateFacesOutward)
{
    std::istringstream in(std::string(kMeshTextData, kMeshTextDataSize));
    MeshPart plate;
    plate.read(in);
    const std::vector<float> all = Components(plate);
    double centre[3] = {};
    for (std::size_t i = 0; i < all.size(); ++i)
        centre[i % 3] += 3.0 * all[i] / double(all.size());
    for (const Triangle& f : plate.getFaces()) {
        const Vector3 n = (f.vertices[1] - f.vertices[0]).cross(f.vertices[2] - f.vertices[0]);
        const Vector3 m = f.vertices[0] + f.vertices[1] + f.vertices[2];
        EXPECT_GT(n.getX() * (m.getX() - 3 * centre[0]) + n.getY() * (m.getY() - 3 * centre[1])
                      + n.getZ() * (m.getZ() - 3 * centre[2]), 0.0) << "face " << &f - plate.getFaces().data();
    }
}
