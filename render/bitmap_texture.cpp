#include "render/bitmap_texture.h"

#include "render/gl.h"
#include "resources/bitmap_source.h"

unsigned int LoadBitmapTexture(unsigned char resourceId)
{
    // The name comes first, so one is used up even when the bitmap is missing.
    GLuint name = 0;
    glGenTextures(1, &name);

    const BitmapSource bitmap(resourceId);
    if (!bitmap.isLoaded())
        return name;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, bitmap.getWidth(), bitmap.getHeight(), 0, GL_BGR_EXT,
                 GL_UNSIGNED_BYTE, bitmap.getPixels());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}
