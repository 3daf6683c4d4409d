#pragma once
// Little-endian header fields written into a test's picture file bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

// A header field: `bytes` (2 or 4) little-endian bytes at `at`.
struct Field {
    const char* what;
    std::size_t at;
    int bytes;
    std::uint32_t value;
};

inline void Put(std::vector<unsigned char>& b, const Field& f)
{
    for (int i = 0; i < f.bytes; ++i)
        b[f.at + i] = (f.value >> (8 * i)) & 0xff;
}
