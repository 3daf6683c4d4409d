#pragma once

// An RGB tint as passed to OpenGL; a type of its own, with no arithmetic.
struct Colour {
    constexpr Colour() : r(0.0f), g(0.0f), b(0.0f) {}
    constexpr Colour(float r, float g, float b) : r(r), g(g), b(b) {}

    float r;
    float g;
    float b;
};

// The tint that leaves a texture's own colours.
constexpr Colour kWhite(1.0f, 1.0f, 1.0f);
