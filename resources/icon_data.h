#pragma once
#include <cstddef>

// The program's icon (resources/quorvelin.ico, the Windows icon's file),
// linked in where there are no Windows resources.
extern const unsigned char kIconData[];
extern const std::size_t kIconDataSize;
