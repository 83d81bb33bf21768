#include "rounds.h"

#include "model.h"

void StartClock(RoundClock *clock, uint64_t nowMs, bool firstAtOnce) {
    clock->nextReadMs = clock->lastRoundMs = nowMs;
    clock->rounds = 0;
    clock->firstAtOnce = firstAtOnce;
}

static uint64_t NextRoundMs(const RoundClock *clock, uint64_t phaseMs) {
    uint64_t last = clock->lastRoundMs;
    bool first = clock->rounds == 0;
    if (first && clock->firstAtOnce)
        return last;
    if (phaseMs == 0) {
        bool waiting = first || (clock->rounds == 1 && clock->firstAtOnce);
        return last + (waiting ? kPublishingPeriodMs + kHalfPeriodMs : kPublishingPeriodMs);
    }
    uint64_t next = phaseMs + kHalfPeriodMs, earliest = first ? last : last + kHalfPeriodMs;
    if (next < earliest)
        next +=
            (earliest - next + kPublishingPeriodMs - 1) / kPublishingPeriodMs * kPublishingPeriodMs;
    return next;
}

uint64_t NextDueMs(const RoundClock *clock, uint64_t phaseMs) {
    uint64_t round = NextRoundMs(clock, phaseMs);
    return clock->nextReadMs < round ? clock->nextReadMs : round;
}

Due DueAt(RoundClock *clock, uint64_t nowMs, uint64_t phaseMs) {
    if (nowMs < NextDueMs(clock, phaseMs))
        return kDueNothing;
    if (nowMs >= clock->nextReadMs)
        clock->nextReadMs = nowMs + kReadMs;
    if (nowMs < NextRoundMs(clock, phaseMs))
        return kDueRead;
    clock->lastRoundMs = nowMs;
    clock->rounds++;
    return kDueRound;
}
