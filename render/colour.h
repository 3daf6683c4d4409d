#pragma once

// An RGB tint as passed to OpenGL; a type of its own, with no arithmetic.
struct Colour {
    Colour() : r(0.0f), g(0.0f), b(0.0f) {}
    Colour(float r, float g, float b) : r(r), g(g), b(b) {}

    float r;
    float g;
    float b;
};
