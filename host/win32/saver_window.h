#pragma once
// The saver's own window: an OpenGL context on the saver window and one frame per timer tick.
#include <windows.h>

// Makes a double-buffered context with depth and stencil current on the
// window; none when any step fails, with nothing left behind.
HGLRC CreateGLContext(HWND window);
