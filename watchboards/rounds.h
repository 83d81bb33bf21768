// When WatchBoards' rounds come: plain functions of the clock, so that a
// test can run them on a clock of its own.
#ifndef WATCHBOARDS_ROUNDS_H
#define WATCHBOARDS_ROUNDS_H

#include <stdint.h>

// The rounds keep to the second, as the service publishes: the next is due
// a second after the last one was, or half a second later still when a
// round may have come just before the service published (away from that
// moment); behind (a process stopped for a while), at once.
uint64_t NextRoundMs(uint64_t lastMs, bool missedPublication, uint64_t nowMs);

#endif
