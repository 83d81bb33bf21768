// When a reader reads the boards and when its rounds come: plain functions
// of the clock, so that a test can run them on a clock of its own.
#ifndef BOARDS_ROUNDS_H
#define BOARDS_ROUNDS_H

#include <stdint.h>

// The reads come every kReadMs (board.h).  The rounds come half a period
// after the service publishes, so that a round holds one publication of
// each live board, a period apart: each at the first such moment at least
// half a period after the round before.  phaseMs is the moment of a
// publication seen, 0 before one is: then a round waits a period and a
// half, by when a publication has come or one was due and did not, and
// the next a period.  The first round comes at once when asked so (a look
// that takes the records as they are first), otherwise as the others do.
struct RoundClock {
    uint64_t nextReadMs, lastRoundMs;
    uint32_t rounds;
    bool firstAtOnce;
};

void StartClock(RoundClock *clock, uint64_t nowMs, bool firstAtOnce);

// When the next read or round is due, whichever comes first.
uint64_t NextDueMs(const RoundClock *clock, uint64_t phaseMs);

// What is due at nowMs: a read, a round (the boards read, then the round),
// or nothing yet.  Behind (a process stopped for a while), both at once.
enum Due { kDueNothing, kDueRead, kDueRound };
Due DueAt(RoundClock *clock, uint64_t nowMs, uint64_t phaseMs);

#endif
