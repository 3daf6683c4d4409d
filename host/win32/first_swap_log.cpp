#include "host/win32/first_swap_log.h"

#include <windows.h>

namespace {
char FirstSwapLogPath[MAX_PATH] = "";
bool FirstSwapLogPending = false;

void LogFirstSwap()
{
    FirstSwapLogPending = false;
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
    HANDLE file = CreateFileA(FirstSwapLogPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}
} // namespace

void ArmFirstSwapLog()
{
    const DWORD length = GetEnvironmentVariableA("QUORVELIN_LOG_FIRST_SWAP", FirstSwapLogPath, MAX_PATH);
    FirstSwapLogPending = length > 0 && length < MAX_PATH;
}

void NoteBufferSwap()
{
    if (FirstSwapLogPending)
        LogFirstSwap();
}
