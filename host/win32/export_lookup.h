#pragma once
// Functions that not every Windows has are found at run time, by name: an
// import the system lacks would keep the saver from loading at all.
#include <windows.h>

// The export NAME of MODULE, or null where the module or the export is missing.
template <typename Proc>
Proc LookUp(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    // The platform hands out exports as a generic function address.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
