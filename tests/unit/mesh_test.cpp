#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "mesh/model.h"
#include "resources/mesh_text_data.h"

namespace {
const std::string kText(kMeshTextData, kMeshTextDataSize);

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<Triangle> ReadFaces(const std::string& text)
{
    std::istringstream in(text);
    MeshPart part;
    part.read(in);
    return part.getFaces();
}

// The components of all faces, nine a face, in text order.
std::vector<float> Components(const std::vector<Triangle>& faces)
{
    std::vector<float> out;
    for (const Triangle& face : faces)
        for (const Vector3& v : face.vertices)
            out.insert(out.end(), {v.getX(), v.getY(), v.getZ()});
    return out;
}

// Every number of a text, read as the reader reads them.
std::vector<float> Numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<float> out;
    for (float value; in >> value;)
        out.push_back(value);
    return out;
}

Vector3 Normal(const Triangle& f)
{
    Vector3 n = (f.vertices[1] - f.vertices[0]).cross(f.vertices[2] - f.vertices[0]);
    n.normalise();
    return n;
}
} // namespace

TEST(MeshText, EmbeddedTextHasItsExactLayout)
{
    ASSERT_EQ(kMeshTextDataSize, 2911u);
    EXPECT_EQ(std::strlen(kMeshTextData), kMeshTextDataSize);
    EXPECT_EQ(kText.back(), '\n');
    const std::vector<std::string> lines = Lines(kText);
    ASSERT_EQ(lines.size(), 32u);
    // Lengths without the LF: the first line lacks its sign blank.
    EXPECT_EQ(lines[0].size(), 89u);
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), 90u) << "line " << i + 1;
    EXPECT_EQ(lines[0], "0.937632  0.937632 -0.999999  0.937632  0.923937 -0.999999 -0.937632  0.923937 -0.999999 ");
    EXPECT_EQ(lines[7], " 0.849431  1.000000 -0.937632 -0.937632  1.000000 -0.937632 -0.937632  1.000000  0.849430 ");
    EXPECT_EQ(lines[22], " 0.955899  0.937632 -0.955898  0.849431  1.000000 -0.937632 -0.937632  1.000000  0.849430 ");
    EXPECT_EQ(lines[31], "-1.000000  0.937632  0.937633 -0.955899  0.937632  0.955900 -0.937632  1.000000  0.849430 ");
    for (char c : kText)
        EXPECT_TRUE(c == '\n' || c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9')) << int(c);
}

TEST(MeshText, EmbeddedTextIsAClosedPlateOf18Corners)
{
    const std::vector<Triangle> faces = ReadFaces(kText);
    ASSERT_EQ(faces.size(), 32u);
    EXPECT_EQ(Components(faces), Numbers(kText));
    std::set<std::tuple<float, float, float>> corners;
    for (const Triangle& f : faces)
        for (const Vector3& v : f.vertices)
            corners.insert(std::make_tuple(v.getX(), v.getY(), v.getZ()));
    EXPECT_EQ(corners.size(), 18u);

    // Line 8 is the top face, line 7 the bottom; both face outward.
    for (const Vector3& v : faces[7].vertices)
        EXPECT_EQ(v.getY(), 1.0f);
    for (const Vector3& v : faces[6].vertices)
        EXPECT_EQ(v.getY(), 0.861569f);
    EXPECT_FLOAT_EQ(Normal(faces[7]).getY(), 1.0f);
    EXPECT_FLOAT_EQ(Normal(faces[6]).getY(), -1.0f);
}

TEST(MeshReader, LineEndingsChangeNothing)
{
    const std::vector<float> expected = Components(ReadFaces(kText));
    // Without the final LF the last line still ends at the end of the text.
    EXPECT_EQ(Components(ReadFaces(kText.substr(0, kText.size() - 1))), expected);
    std::string crlf;
    for (char c : kText) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(Components(ReadFaces(crlf)), expected);
}

// Would catch: faces counted other than by lines, numbers taken per line, a
// malformed or out-of-range number stored (or its failure not zeroing the
// rest of the part). Missing numbers are zeros.
TEST(MeshReader, OddTextsGiveLineCountedFacesOfTheNumbersInOrder)
{
    const struct {
        const char* text;
        std::vector<float> components;
    } cases[] = {
        {"1 2 3 4 5 6 7 8\n11 12 13 14 15 16 17 18 19\n21 22 23 24 25 26 27 28 29\n", // a short line
         {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29, 0}},
        {"1 2 3 4 5 6 7 8 9\n\n11 12 13 14 15 16 17 18 19\n", // a blank line
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"1 2 3 4 5 6 7 8 9\n11 12 13 14 x5 16 17 18 19\n21 22 23 24 25 26 27 28 29\n", // malformed
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"1 2 3 4 5 6 7 1e99 9\n", {1, 2, 3, 4, 5, 6, 7, 0, 0}}, // too large for a float
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Components(ReadFaces(c.text)), c.components) << c.text;
}

TEST(MeshReader, ReadingAgainResizesInsteadOfAppending)
{
    std::istringstream in(kText);
    MeshPart part;
    part.read(in);
    // The counting left the stream at its end; the caller rewinds it.
    in.clear();
    in.seekg(0);
    part.read(in);
    EXPECT_EQ(Components(part.getFaces()), Numbers(kText));

    // A shorter text drops the faces beyond its count.
    std::istringstream two("1 2 3 4 5 6 7 8 9\n11 12 13 14 15 16 17 18 19");
    part.read(two);
    ASSERT_EQ(part.getFaces().size(), 2u);
    EXPECT_EQ(Components(part.getFaces()), Numbers(two.str()));
}

// Would catch: a part reading from where the one before left the stream (at
// its end, failed), or a second load appending. Every part gets the whole text;
// where they stand is checked by pixels in the render tier.
TEST(Model, EveryPartReadsTheWholeTextFromAResetStream)
{
    std::istringstream in(kText);
    for (std::string scratch; in >> scratch;) {
    }
    ASSERT_TRUE(in.fail());
    Model model;
    model.load(in);
    model.load(in);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_EQ(Components(model.getPart(i).getFaces()), Numbers(kText)) << "part " << i;

    // A malformed number in one part's read must not carry over to the next.
    std::istringstream bad("1 2 3 4 5 6 7 8 x\n");
    Model fresh;
    fresh.load(bad);
    for (int i = 0; i < Model::kPartCount; ++i)
        EXPECT_EQ(Components(fresh.getPart(i).getFaces()), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 0})) << i;
}
