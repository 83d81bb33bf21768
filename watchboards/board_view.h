// What WatchBoards knows of each board: the last complete record, what its
// counters counted over the last second, the last minute of what is graphed.
// Taking a sample and everything shown from it are plain functions of this
// model, so that tests feed it records of their own.
#ifndef WATCHBOARDS_BOARD_VIEW_H
#define WATCHBOARDS_BOARD_VIEW_H

#include <stdint.h>

#include "prp_value.h"
#include "statistics_block.h"

enum { kLanA, kLanB, kLans };
// The graphs: the last minute of each graphed figure (see figures.h).
enum { kHistorySeconds = 60, kGraphs = 1 };
// In the history: a second whose figure is not known (a gap in the graph),
// and one from before the board was first seen.
const uint32_t kNoValue = UINT32_MAX;
const uint32_t kNotSeen = UINT32_MAX - 1;

enum BoardState {
    kBoardLive,  // the record changes, or stopped changing not long ago
    kBoardStale, // the record has not changed for the stale time
    kBoardShort, // the block is shorter than the record
    kBoardGone,  // no block (never seen, or vanished)
};

// What the user chose (options, keys).
struct ViewSettings {
    uint64_t lanBitsPerSecond;
    uint32_t staleMs;
    uint32_t markTenths; // divergence beyond this many tenths of a percent is marked
    bool bytes;          // rates in byte/s instead of bit/s
    bool graphs;
};

struct LanView {
    // From the last complete record.
    uint32_t rxGoodOctets, txOctets, rxErr;
    uint8_t linkStatus;
    // What the counters counted since the last whole record (0 after a
    // reset); as much a second, when stepped, is RateOf the step.
    uint32_t rxStep, txStep, errStep;
    // What the counters counted since WatchBoards started: the sum of the
    // steps, so 64 bits wide, and nothing for a reset.
    uint64_t rxTotal, txTotal, errTotal;
    uint64_t linkChangedMs; // when the link status last changed, or was first seen
    bool linkChangeSeen;
};

struct BoardView {
    int32_t boardIndex;
    BoardState state;
    bool sampled;       // a complete record has been seen
    bool stepped;       // the last two samples were live and gave steps (no gap)
    // The last sample found the record as the sample before, which had found
    // it changed: perhaps taken just before the service published.
    bool missedPublication;
    uint32_t resets;    // counters seen going back, a vanished block coming back
    uint32_t elapsedMs; // since the whole record before the last one
    // LanA's receive and transmit steps against LanB's (when stepped), in
    // tenths of a percent: see DivergenceTenths.
    int32_t rxDivergence, txDivergence;
    // Samples in a row that were resets, and the LAN speed in bit/s their
    // octet counters' differences needed.
    uint32_t resetsInARow;
    uint64_t neededBitsPerSecond;
    uint64_t recordMs;  // when the last whole record was taken
    uint64_t changedMs; // when the record last changed
    PrpValue record;
    LanView lan[kLans];
    // Each graphed figure of each LAN, a second each over the last minute,
    // a ring: the oldest second at historyStart (see HistoryValue).
    int historyStart;
    uint32_t history[kGraphs][kLans][kHistorySeconds];
};

void StartBoardView(BoardView *board, int32_t boardIndex);

// Takes one sample: the record as read (meaningful when state is
// kBlockWhole), at nowMs on a monotonic clock.
void TakeSample(BoardView *board, BlockState state, const PrpValue *record, uint64_t nowMs,
                const ViewSettings *settings);

// A graphed figure of a LAN in a second of the last minute, from 0, the
// oldest, to kHistorySeconds - 1, the last round's.
inline uint32_t HistoryValue(const BoardView *board, int graph, int lan, int second) {
    int at = board->historyStart + second;
    return board->history[graph][lan][at < kHistorySeconds ? at : at - kHistorySeconds];
}

// The service publishes once a period: a difference spans as many whole
// periods as the time between its samples rounds to, at least one.  So a
// steady rate reads the same whatever the time between samples wandered.
uint64_t PerSecond(uint32_t step, uint32_t elapsedMs);

// A step of the board's as much a second.
inline uint64_t RateOf(const BoardView *board, uint32_t step) {
    return PerSecond(step, board->elapsedMs);
}

// LanA's value against LanB's, in tenths of a percent of the larger one:
// positive when LanA carries more.  0 when both are 0.
int32_t DivergenceTenths(uint32_t a, uint32_t b);

// After this many resets in a row, the counters are taken to grow faster
// than the LAN speed given allows.
enum { kResetsForTooSlow = 3 };

// When the board's last samples were resets in a row because its counters
// grew faster than the LAN speed allows: the smallest of 100M, 1G, 10G and
// 100G that would carry what they counted.  0 otherwise.
uint64_t SpeedNeeded(const BoardView *board, const ViewSettings *settings);

#endif
