// Records for WatchBoards' model, as a test writes them down.
#pragma once

#include <string.h>

#include <string>

#include "figures.h"

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
inline ViewSettings Defaults() { return ViewSettings{kGigabit, 5000, 50, false, true}; }

// A round of one board as WatchBoards has it when the service publishes the
// record at ms: read there and a read later (twice alike, a publication),
// then half a period on read again, the round closed, its second graphed.
inline void Sample(BoardView *board, BlockState state, const Counters &counters, uint64_t ms,
                   const ViewSettings *settings) {
    PrpValue record = Record(counters);
    ReadBoard(board, state, &record, false, ms);
    ReadBoard(board, state, &record, true, ms + kReadMs);
    ReadBoard(board, state, &record, true, ms + kHalfPeriodMs);
    CloseRound(board, ms + kHalfPeriodMs, settings);
    FigureContext context = {settings, ms + kHalfPeriodMs};
    KeepGraphs(board, &context);
}

inline const Figure &FigureNamed(const std::string &name) {
    for (int i = 0; i < kFigureCount; i++)
        if (kFigures[i].name != nullptr && name == kFigures[i].name)
            return kFigures[i];
    return kFigures[0];
}

} // namespace test
