#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One square picture of an icon: rows from the top, each pixel 0xAARRGGBB
// with straight (not premultiplied) alpha, as X11's _NET_WM_ICON wants it.
struct IconImage {
    int side = 0;
    std::vector<std::uint32_t> argb;
};

// The 32-bit pictures of a Windows icon file held in memory, in the file's
// order. Pictures of other depths, compressed ones and any entry whose
// header, size or place in the data does not add up are left out; data that
// is no icon file gives none.
std::vector<IconImage> ReadIcon(const unsigned char* data, std::size_t size);
