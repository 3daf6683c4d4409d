#pragma once
// The one place the scene includes OpenGL 1.1 and GLU. The Windows headers
// need no <windows.h> before them in the mingw-w64 toolchain.
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
