#include "mesh/mesh_part.h"

#include <istream>

#include "render/gl.h"

namespace {
// Lines from the current position to the end; a final LF ends the last line
// rather than starting another.
std::size_t countLines(std::istream& in)
{
    std::size_t count = 0;
    std::streambuf* buffer = in.rdbuf();
    if (!in.good() || buffer == nullptr)
        return 0;
    bool inLine = false;
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        if (c == '\n') {
            ++count;
            inLine = false;
        } else {
            inLine = true;
        }
    }
    if (inLine)
        ++count;
    in.setstate(std::ios::eofbit);
    return count;
}
} // namespace

MeshPart::MeshPart() : Sprite(), spinning(false), faces(), spinAngle(0.0f) {}

MeshPart::~MeshPart() = default;

void MeshPart::read(std::istream& in)
{
    const std::size_t count = countLines(in);
    // Counting leaves the stream at its end; a failed stream would ignore the seek.
    in.clear();
    in.seekg(0, std::ios::beg);
    in.clear();
    faces.resize(count);
    for (Triangle& face : faces)
        face.read(in);
}

void MeshPart::setSpin(bool on)
{
    spinning = on;
    if (on)
        spinAngle = 0.0f;
}

void MeshPart::draw()
{
    const Vector3 position = getPosition();
    glPushMatrix();
    glTranslatef(position.getX(), position.getY(), position.getZ());
    if (isTranslucent()) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glColor4f(1.0f, 1.0f, 1.0f, getAlpha());
    } else {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (spinning) {
        glRotatef(spinAngle, 0.0f, 1.0f, 0.0f);
        // Angles run 0..360 inclusive: 360 and 0 are drawn on consecutive draws.
        spinAngle += 1.0f;
        if (spinAngle > 360.0f)
            spinAngle = 0.0f;
    }
    // Stands the plate of the mesh text upright, apex up, facing +z.
    glTranslatef(0.0f, 0.0f, -0.9f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-45.0f, 0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, getTexture());
    for (const Triangle& face : faces)
        face.draw();
    glPopMatrix();
}
