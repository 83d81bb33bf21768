// The clocks of every reader of the boards: one implementation per
// platform.
#ifndef BOARDS_CLOCK_H
#define BOARDS_CLOCK_H

#include <stdint.h>

// Milliseconds on a clock that only goes forward, which the model and the
// rounds are timed by.
uint64_t MonotonicMilliseconds(void);

// Milliseconds since 1970 on the wall clock, UTC, which the outputs say.
uint64_t WallClockMilliseconds(void);

#endif
