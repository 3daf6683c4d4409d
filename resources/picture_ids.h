#pragma once

// The pictures by name, from the one list (resources/pictures.inc): Picture::gold is 109.
namespace Picture {
enum Id : unsigned char {
#define PICTURE(id, name, file) name = id,
#include "resources/pictures.inc"
#undef PICTURE
};
} // namespace Picture
