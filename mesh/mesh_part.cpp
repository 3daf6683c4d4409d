#include "mesh/mesh_part.h"

#include <istream>

#include "render/draw_switches.h"
#include "render/gl.h"
#include "render/gl_capabilities.h"

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

MeshPart::MeshPart() : Sprite(), spinning(false), faces(), spinAngle(0.0f), faceList(0) {}

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
    faceList = 0;
}

void MeshPart::compileFaces()
{
    // None where the GL keeps no lists; 0 without a context, or without room
    // for a list: the faces go one by one.
    if (!kGlCapabilities.displayLists)
        return;
    faceList = glGenLists(1);
    if (faceList == 0)
        return;
    glNewList(faceList, GL_COMPILE);
    for (const Triangle& face : faces)
        face.draw();
    glEndList();
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
    // Opaque parts take colour alpha 1 whatever their own alpha.
    if (isTranslucent())
        SetDrawSwitches(DrawBlend::Additive, kWhite, getAlpha());
    else
        SetDrawSwitches(DrawBlend::Opaque, kWhite, 1.0f);
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
    if (kGlCapabilities.displayLists && faceList != 0) {
        glCallList(faceList);
    } else {
        for (const Triangle& face : faces)
            face.draw();
    }
    glPopMatrix();
}
