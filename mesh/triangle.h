#pragma once
#include <iosfwd>

#include "render/vector3.h"

// One face of a mesh: three corners in the order of the mesh text, drawn
// flat-shaded with a normal computed from the corners at every draw.
struct Triangle {
    void draw() const;
    // Reads the first, second and third corner, each x, y, z.
    void read(std::istream& in);

    Vector3 vertices[3];
};
