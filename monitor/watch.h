// The loop the three monitors share: ask for the board, open and map the
// statistics service's block, then print some of its fields once a second
// until the process is ended from outside, or its output fails.
#ifndef MONITOR_WATCH_H
#define MONITOR_WATCH_H

#include <stddef.h>

#include "prp_value.h"

// One line a monitor prints each second: its text, with "%d" for the value
// of the record's field at offset, size bytes long (a 32-bit field prints
// signed, an 8-bit one 0 to 255).
struct WatchedLine {
    const char *format;
    size_t offset;
    size_t size;
};

// Whether a block that cannot be opened is followed by a hint to start the
// statistics service.
enum ServiceHint { kNoServiceHint, kServiceHint };

// Returns only when the block cannot be opened or mapped, with status 1;
// ends the program with status 1 when its output fails.
int WatchStatistics(const WatchedLine *lines, size_t count, ServiceHint hint);

#endif
