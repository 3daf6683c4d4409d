#pragma once

// What the platform's OpenGL can do, decided once when the program is built.
// The desktop GLs give all of OpenGL 1.1. The browser build draws through
// Emscripten's emulation of the fixed pipeline over WebGL, which lacks some
// of it; CMake defines QUORVELIN_GL_EMULATED for that build alone. The draws
// test these at the point of use, and the plain OpenGL 1.1 path stays the
// reference every other path is compared with.
struct GlCapabilities {
    // glNewList and glCallList: the model's faces recorded once.
    bool displayLists;
    // glReadPixels back into glDrawPixels and the attribute stacks: the steady
    // background kept as a copy instead of drawn each frame.
    bool backgroundCopy;
    // Uploads in GL_BGR_EXT order with the internal format 3, as the bitmaps
    // lie in memory; otherwise the rows go up as GL_RGB.
    bool bgrUploads;
    // GL_REPLACE takes the fragment's alpha for an RGB texture, so a white,
    // unlit draw may replace instead of modulate and keep its fade.
    bool replaceKeepsAlpha;
    // A light at a position (w = 1) lights each vertex from that point, and
    // normals keep their length; otherwise every light is a direction and
    // every normal is made unit length before lighting.
    bool fixedFunctionLighting;
};

#ifdef QUORVELIN_GL_EMULATED
inline constexpr GlCapabilities kGlCapabilities = {false, false, false, false, false};
#else
inline constexpr GlCapabilities kGlCapabilities = {true, true, true, true, true};
#endif
