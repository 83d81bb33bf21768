// The clock every program that keeps time reads, one implementation per
// platform.
#ifndef COMMON_CLOCK_H
#define COMMON_CLOCK_H

#include <stdint.h>

// Milliseconds on a clock that only goes forward.
uint64_t MonotonicMilliseconds(void);

#endif
