#pragma once
#include <iosfwd>
#include <vector>

#include "mesh/triangle.h"
#include "render/sprite.h"

// A sprite that draws a list of faces instead of a quad, under a fixed
// orientation, optionally turning one degree per draw about its vertical axis.
class MeshPart : public Sprite {
public:
    MeshPart();
    ~MeshPart() override;

    // Replaces the faces with those of the mesh text in the stream: one face per
    // line, numbers taken in order regardless of line breaks. Needs a stream
    // that can seek back to its start.
    void read(std::istream& in);
    // Records the faces, with their normals, in a display list of the current
    // context, which draws them from then on with the same pixels for less
    // work in the driver. Made once per context and never deleted, like the
    // textures; read() drops it, and the faces are drawn one by one again.
    void compileFaces();
    void draw() override;
    // On restarts the angle at 0; off keeps it.
    void setSpin(bool on);

    bool isSpinning() const { return spinning; }
    float getSpinAngle() const { return spinAngle; }
    const std::vector<Triangle>& getFaces() const { return faces; }

private:
    bool spinning;
    std::vector<Triangle> faces;
    float spinAngle;
    unsigned int faceList;
};
