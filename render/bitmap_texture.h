#pragma once

// Makes an OpenGL texture from one of the program's bitmap resources. Always
// returns a fresh texture name (with a current context, never 0); a missing
// bitmap gives a name without an image, which draws untextured.
unsigned int LoadBitmapTexture(unsigned char resourceId);
