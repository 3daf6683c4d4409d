// The bitmap seam on Windows: the bitmap resources of the program's own module,
// loaded as a device-independent section so they keep their 24-bit layout.
#include <windows.h>

#include "resources/bitmap_source.h"

BitmapSource::BitmapSource(unsigned int resourceId)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        return;
    handle = bitmap;
    BITMAP description;
    if (GetObjectA(bitmap, sizeof(description), &description) == 0 || description.bmBits == nullptr)
        return;
    // The upload reads three bytes a pixel: a shallower bitmap would be read
    // past its end and a deeper one shown garbled, so either counts as missing.
    if (description.bmBitsPixel != 24 || description.bmPlanes != 1 || description.bmWidth <= 0 ||
        description.bmHeight <= 0)
        return;
    width = description.bmWidth;
    height = description.bmHeight;
    pixels = description.bmBits;
}

// The pixels are needed only until the texture upload returns.
BitmapSource::~BitmapSource()
{
    if (handle != nullptr)
        DeleteObject(static_cast<HBITMAP>(handle));
}
