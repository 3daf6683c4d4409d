#pragma once
#include <cstddef>

// A 24-bit uncompressed bottom-up picture inside a BMP file held in memory.
// `pixels` points into that memory: rows of blue-green-red triples, the
// bottom row first, each row padded to a multiple of four bytes.
struct BmpImage {
    int width = 0;
    int height = 0;
    const unsigned char* pixels = nullptr;
};

// Reads the headers of a BMP file. Anything but a well-formed 24-bit,
// uncompressed, bottom-up BMP whose pixel rows lie wholly inside the data
// (a truncated file, a lying size, offset or depth, a negative or huge
// dimension) gives false and leaves `image` untouched.
bool ReadBmp(const unsigned char* data, std::size_t size, BmpImage& image);
