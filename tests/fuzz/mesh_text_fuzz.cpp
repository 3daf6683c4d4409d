// Fuzzes the mesh text reader as scene construction drives it: a model loads
// the bytes from a string stream, each part reading the whole text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "mesh/mesh_part.h"
#include "mesh/model.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Lines as the reader counts them: every LF ends one, and so does the end of
// a text whose last character is not an LF.
std::size_t CountLines(const std::string& text)
{
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    if (!text.empty() && text.back() != '\n')
        ++lines;
    return lines;
}

bool SameFaces(const MeshPart& a, const MeshPart& b)
{
    const std::vector<Triangle>& fa = a.getFaces();
    const std::vector<Triangle>& fb = b.getFaces();
    // Bytes, not floats: a NaN read twice is still the same face.
    return fa.size() == fb.size() &&
           (fa.empty() || std::memcmp(fa.data(), fb.data(), fa.size() * sizeof(Triangle)) == 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = CountLines(text);

    Model model;
    std::stringstream stream(text, std::ios::in | std::ios::out);
    model.load(stream);
    for (int i = 0; i < Model::kPartCount; ++i)
        Check(model.getPart(i).getFaces().size() == lines);
    // A failure in one part does not carry over: all three read the same faces.
    Check(SameFaces(model.getPart(0), model.getPart(1)));
    Check(SameFaces(model.getPart(0), model.getPart(2)));

    // Loading again resizes the face lists instead of appending to them.
    model.load(stream);
    Check(model.getPart(0).getFaces().size() == lines);

    // A part read straight from a fresh stream agrees with the model's parts.
    MeshPart part;
    std::istringstream fresh(text);
    part.read(fresh);
    Check(SameFaces(part, model.getPart(1)));
    return 0;
}
