// Records for the boards' model, as a test writes them down.
#pragma once

#include <string.h>

#include "model.h"

namespace test {

struct Counters {
    uint32_t rxGoodOctetsA, rxGoodOctetsB, txOctetsA, txOctetsB, rxErrA, rxErrB;
    uint8_t linkStatusA, linkStatusB;
};

inline PrpValue Record(const Counters &c) {
    PrpValue record;
    memset(&record, 0, sizeof record);
    record.rxGoodOctetsA = (int32_t)c.rxGoodOctetsA;
    record.rxGoodOctetsB = (int32_t)c.rxGoodOctetsB;
    record.txOctetsA = (int32_t)c.txOctetsA;
    record.txOctetsB = (int32_t)c.txOctetsB;
    record.rxErrA = (int32_t)c.rxErrA;
    record.rxErrB = (int32_t)c.rxErrB;
    record.linkStatusA = c.linkStatusA;
    record.linkStatusB = c.linkStatusB;
    return record;
}

// What the options give when none is given.
const uint64_t kGigabit = 1000000000;
inline BoardSettings Defaults() { return BoardSettings{5000, 50}; }

// A round of one board as a reader has it when the service publishes the
// record at ms: read there and a read later (twice alike, a publication),
// then half a period on read again and the round closed.
inline void Sample(Board *board, BlockState state, const Counters &counters, uint64_t ms,
                   const BoardSettings *settings) {
    PrpValue record = Record(counters);
    ReadBoard(board, state, &record, false, ms);
    ReadBoard(board, state, &record, true, ms + kReadMs);
    ReadBoard(board, state, &record, true, ms + kHalfPeriodMs);
    CloseRound(board, ms + kHalfPeriodMs, settings, board->sampled ? board->changedMs : 0);
}

} // namespace test
