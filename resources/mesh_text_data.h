#pragma once
#include <cstddef>

// The model's mesh text (resources/mesh.txt), linked into the program:
// NUL-terminated, kMeshTextDataSize characters without the NUL.
extern const char kMeshTextData[];
extern const std::size_t kMeshTextDataSize;
