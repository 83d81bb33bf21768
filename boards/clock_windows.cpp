#include "clock.h"

#include <windows.h>

uint64_t MonotonicMilliseconds(void) { return GetTickCount64(); }

uint64_t WallClockMilliseconds(void) {
    FILETIME now; // 100 ns since 1601
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime;
    return ticks / 10000 - 11644473600000ull;
}
