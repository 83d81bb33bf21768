// When WatchBoards reads the boards and when its rounds come: plain
// functions of the clock, so that a test can run them on a clock of its own.
#ifndef WATCHBOARDS_ROUNDS_H
#define WATCHBOARDS_ROUNDS_H

#include <stdint.h>

// The reads come every kReadMs (board_view.h).  The first round comes at
// once; the others half a period after the service publishes, so that a
// round holds one publication of each live board: at the first such moment
// at least half a period after the round before.  phaseMs is the moment of
// a publication seen of any board, 0 before one is: then the second round
// waits a period and a half, by when a publication has come or one was due
// and did not; the others come a period apart.
struct RoundClock {
    uint64_t nextReadMs, lastRoundMs;
    uint32_t rounds;
};

void StartClock(RoundClock *clock, uint64_t nowMs);

// When the next read or round is due, whichever comes first.
uint64_t NextDueMs(const RoundClock *clock, uint64_t phaseMs);

// What is due at nowMs: a read, a round (the boards read, then the round),
// or nothing yet.  Behind (a process stopped for a while), both at once.
enum Due { kDueNothing, kDueRead, kDueRound };
Due DueAt(RoundClock *clock, uint64_t nowMs, uint64_t phaseMs);

#endif
