#include "clock.h"

#include <windows.h>

uint64_t MonotonicMilliseconds(void) { return GetTickCount64(); }
