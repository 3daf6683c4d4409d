#pragma once
// Little-endian numbers in picture files, read byte by byte so that any
// alignment and any host byte order read them alike.
#include <cstdint>

inline std::uint32_t ReadU16(const unsigned char* p) { return p[0] | (p[1] << 8); }

inline std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
