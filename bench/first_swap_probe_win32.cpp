// The start-up probe of the Windows benchmarks, linked only into instrumented
// copies of a GL program (bench/CMakeLists.txt), never into the saver itself.
// Before main it points the program's import of gdi32's SwapBuffers at a
// wrapper; with QUORVELIN_LOG_FIRST_SWAP naming a file, the wrapper writes the
// system time of the first swap there, once, as one decimal line of 100 ns
// units since 1601. The program's own code is left as it is.
#include <windows.h>

namespace {
using SwapBuffersFunction = BOOL(WINAPI*)(HDC);

SwapBuffersFunction RealSwapBuffers = nullptr;
char LogPath[MAX_PATH] = "";
bool LogPending = false;

void logFirstSwap()
{
    LogPending = false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    char line[24];
    int length = 0;
    do {
        line[length++] = static_cast<char>('0' + ticks % 10);
        ticks /= 10;
    } while (ticks != 0);
    for (int i = 0; i < length / 2; ++i) {
        const char digit = line[i];
        line[i] = line[length - 1 - i];
        line[length - 1 - i] = digit;
    }
    line[length++] = '\n';
    HANDLE file = CreateFileA(LogPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

BOOL WINAPI swapBuffersAndLog(HDC dc)
{
    const BOOL swapped = RealSwapBuffers(dc);
    if (LogPending)
        logFirstSwap();
    return swapped;
}

// Rewrites the slot of the program's import table that holds SwapBuffers.
void hookSwapBuffers()
{
    BYTE* const base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), "gdi32.dll") != 0
            || library->OriginalFirstThunk == 0)
            continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), "SwapBuffers") != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            RealSwapBuffers = reinterpret_cast<SwapBuffersFunction>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(&swapBuffersAndLog);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return;
        }
    }
}

struct FirstSwapProbe {
    FirstSwapProbe()
    {
        const DWORD length = GetEnvironmentVariableA("QUORVELIN_LOG_FIRST_SWAP", LogPath, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        hookSwapBuffers();
        LogPending = RealSwapBuffers != nullptr;
    }
} Probe;
} // namespace
