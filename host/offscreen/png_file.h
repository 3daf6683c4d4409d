#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGB rows, top row first, as a PNG file. False when the file
// cannot be written (or the pixels do not match the size); no file is left
// half-written under the name then.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
