// Any sequence of records, block states and times fed to the boards' model,
// a read or a round at a time: nothing crashes, no rate is beyond the speed
// taken for the board (with its 5% to spare), no total goes down, and no
// round counts more than the speed carries over the periods it covers.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "model.h"
#include "counter_step.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint64_t kSpeeds[] = {100000000, 1000000000, 10000000000};
    if (size < 1)
        return 0;
    Board board;
    StartBoard(&board, 0, kSpeeds[data[0] % 3]);
    BoardSettings settings = {5000, 50};
    uint64_t nowMs = 1000;
    PrpValue record, read; // as it is, as the last read found it
    memset(&record, 0, sizeof record);
    memset(&read, 0xff, sizeof read);
    bool wasWhole = false;
    auto readBoard = [&](BlockState state) {
        bool again = state == kBlockWhole && wasWhole && memcmp(&record, &read, sizeof read) == 0;
        wasWhole = state == kBlockWhole;
        read = record;
        ReadBoard(&board, state, &record, again, nowMs);
    };
    uint64_t totals[kLans][kCounters] = {};
    for (size_t at = 1; at + 2 <= size; at += 2) {
        uint8_t what = data[at], how = data[at + 1];
        // Time goes on by what the input says: mostly a read's time, now
        // and then a long while.
        nowMs += what & 0x80 ? (uint64_t)how * 1000 : (uint64_t)(how % 16) * 50;
        switch (what & 0x7) {
        case 0: // a counter grows, or is set anew
        case 1: {
            int32_t *counters[] = {&record.rxGoodOctetsA, &record.rxGoodOctetsB, &record.txOctetsA,
                                   &record.txOctetsB,     &record.rxErrA,        &record.rxErrB};
            int32_t *counter = counters[(what >> 3) % 6];
            uint32_t by = (uint32_t)how << ((what >> 4 & 0x3) * 8);
            *counter = (int32_t)((what & 1 ? 0u : (uint32_t)*counter) + by);
            break;
        }
        case 2:
            record.linkStatusA = how & 1;
            break;
        case 3:
            readBoard((BlockState)(how % 4));
            break;
        case 4:
            CloseRound(&board, nowMs, &settings, board.changedMs);
            for (int lan = 0; lan < kLans; lan++) {
                for (int counter = 0; counter < kCounters; counter++) {
                    const Lan &l = board.lan[lan];
                    bool frames = counter == kRxErrors;
                    if (l.total[counter] < totals[lan][counter])
                        abort(); // a total went down
                    totals[lan][counter] = l.total[counter];
                    // (errors a second are rounded up)
                    if (board.ratesKnown &&
                        l.perSecond[counter] > MostCounted(board.bitsPerSecond, 1, frames) + frames)
                        abort(); // a rate beyond the speed
                    if (board.stepped &&
                        l.roundStep[counter] >
                            MostCounted(board.bitsPerSecond, board.roundPeriods, frames))
                        abort(); // a round beyond the speed over its periods
                }
            }
            break;
        default:
            readBoard(kBlockWhole);
            break;
        }
    }
    return 0;
}
