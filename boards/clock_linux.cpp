#include "clock.h"

#include <time.h>

static uint64_t Milliseconds(clockid_t clock) {
    struct timespec now;
    clock_gettime(clock, &now);
    return (uint64_t)now.tv_sec * 1000 + (uint64_t)now.tv_nsec / 1000000;
}

uint64_t MonotonicMilliseconds(void) { return Milliseconds(CLOCK_MONOTONIC); }

uint64_t WallClockMilliseconds(void) { return Milliseconds(CLOCK_REALTIME); }
