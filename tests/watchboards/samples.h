// Records for WatchBoards' model, as a test writes them down.
#pragma once

#include <string.h>

#include "board_view.h"

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
inline ViewSettings Defaults() { return ViewSettings{1000000000, 5000, 50, false, true}; }

} // namespace test
