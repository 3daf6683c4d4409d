#pragma once
// The one place the scene includes OpenGL 1.1 and GLU. The Windows headers
// need no <windows.h> before them in the mingw-w64 toolchain.
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

// Drops the errors earlier calls left, so that the next glGetError speaks
// only of the calls after it (a bounded loop: a lost context repeats its error).
inline void DrainGlErrors()
{
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}
