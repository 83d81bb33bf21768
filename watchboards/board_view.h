// What WatchBoards knows of each board.  The service publishes each board's
// record once a period; WatchBoards reads it several times a period, takes
// each change as a publication, and counts what each publication's counters
// counted.  Once a second, a round gathers the publications since the round
// before: what their counters counted, and as much a second.  Reading and
// rounds are plain functions of this model and a clock, so that tests feed
// it records and times of their own.
#ifndef WATCHBOARDS_BOARD_VIEW_H
#define WATCHBOARDS_BOARD_VIEW_H

#include <stdint.h>

#include "counter_step.h"
#include "prp_value.h"
#include "statistics_block.h"

enum { kLanA, kLanB, kLans };
// The counters of each LAN, as the record has them.
enum Counter { kRxOctets, kTxOctets, kRxErrors, kCounters };
// The graphs: the last minute of each graphed figure (see figures.h).
enum { kHistorySeconds = 60, kGraphs = 1 };
// In the history: a second whose figure is not known (a gap in the graph),
// and one from before the board was first seen.
const uint32_t kNoValue = UINT32_MAX;
const uint32_t kNotSeen = UINT32_MAX - 1;

// How often a board's record is read: several times a period, so that a
// publication is seen within this of its moment.
enum { kReadMs = 100, kHalfPeriodMs = kPublishingPeriodMs / 2 };

enum BoardState {
    kBoardLive,       // the record changes, or stopped changing not long ago
    kBoardStale,      // the record has not changed for the stale time
    kBoardShort,      // the block is shorter than the record
    kBoardGone,       // no block (never seen, or vanished)
    kBoardUnreadable, // a block there that may not be read (no right, not a file)
    kBoardStates
};

// What the user chose (options, keys).
struct ViewSettings {
    uint64_t lanBitsPerSecond; // for every board that has no speed of its own
    uint32_t staleMs;
    uint32_t markTenths; // divergence beyond this many tenths of a percent is marked
    bool bytes;          // rates in byte/s instead of bit/s
    bool graphs;
};

// Publications held aside: steps beyond what the LAN can carry, until the
// next ones tell a reset from a board faster than its speed.
enum { kStepsBeyondForSpeed = 3 };
struct HeldStep {
    uint32_t step[kLans][kCounters];
    uint32_t periods;
};

struct LanView {
    // From the last publication.
    uint32_t counter[kCounters];
    uint8_t linkStatus;
    uint64_t linkChangedMs; // the publication that changed it, or when first seen
    bool linkChangeSeen;
    // Since WatchBoards started: the publications that turned the link from
    // up to down, and the periods from one that showed it down to the one
    // that showed it up.
    uint32_t linkLosses;
    uint64_t linkDownPeriods;
    uint64_t linkLostMs; // the publication that last turned it down
    // What the counters counted since WatchBoards started: the sum of the
    // steps, so 64 bits wide, and nothing for a reset.
    uint64_t total[kCounters];
    // What the publications since the last round that showed them counted;
    // what those of that round counted, and as much a period, kept until a
    // round has something new.
    uint64_t counting[kCounters];
    uint64_t roundStep[kCounters];
    uint64_t perSecond[kCounters];
};

struct BoardView {
    int32_t boardIndex;
    BoardState state;
    uint64_t bitsPerSecond; // the LAN speed taken for the board
    bool sampled;           // a whole record has been seen
    // Counters growing faster than the fastest speed WatchBoards takes: a
    // 32-bit counter may wrap more than once a period, so nothing counted
    // is known.
    bool tooFast;
    uint32_t resets; // counters seen going back, a vanished block coming back

    // The last publication: its record, its moment (the read that first saw
    // it change; the first read's for the record first seen, a period on
    // for one that did not come); the last that changed the record, and so
    // the service's phase (0 before one is seen).
    PrpValue record;
    uint64_t publishedMs, changedMs, phaseMs;
    // The reads: whether the last found the last publication's record,
    // when a whole record was last seen, whether WatchBoards did not read
    // for longer than a period since the last publication, and a change
    // seen whose record has not yet been read twice alike (completing the
    // publication before when amending).
    bool readIsRecord;
    uint64_t seenMs;
    bool readGap, changing, amending;
    bool completable; // the last publication changed the record, and no round showed it yet
    uint64_t changeMs;
    HeldStep held[kStepsBeyondForSpeed];
    int heldCount;
    // What the last publication counted, over how many periods, if it
    // counted: a change that completes it is checked with it.
    bool lastCounted;
    uint64_t lastStep[kLans][kCounters];
    uint32_t lastPeriods;
    // A speed other than the one given was taken (bitsPerSecond), or none
    // would do (tooFast); and whether that has been said.
    bool speedTaken, speedTold, unreadableTold;

    // Over how many periods the publications since the last round that
    // showed them counted (each LAN's counting), and whether one was a
    // reset or a gap.
    uint32_t countingPeriods;
    bool countingBroken;
    // At the last round: whether it had something new (each LAN's
    // roundStep, over roundPeriods), and whether the rates (each LAN's
    // perSecond) are known.
    uint32_t roundPeriods;
    bool stepped, ratesKnown;

    LanView lan[kLans];
    // Each graphed figure of each LAN, a second each over the last minute,
    // a ring: the oldest second at historyStart (see HistoryValue).
    int historyStart;
    uint32_t history[kGraphs][kLans][kHistorySeconds];
};

void StartBoardView(BoardView *board, int32_t boardIndex, uint64_t bitsPerSecond);

// One read of the board's block at nowMs on a monotonic clock: the record
// as read when state is kBlockWhole, and whether it is the one the read
// before found (false when that is not known).
void ReadBoard(BoardView *board, BlockState state, const PrpValue *record, bool again,
               uint64_t nowMs);

// Whether a read at nowMs may find something: always, but while the board's
// last publication came at the service's phase and the next is not due
// for a while yet, when nothing can change.
bool WantsRead(const BoardView *board, uint64_t nowMs);

// Closes the round at nowMs: what the publications since the last round
// counted becomes the board's figures.
void CloseRound(BoardView *board, uint64_t nowMs, const ViewSettings *settings);

// A graphed figure of a LAN in a second of the last minute, from 0, the
// oldest, to kHistorySeconds - 1, the last round's.
inline uint32_t HistoryValue(const BoardView *board, int graph, int lan, int second) {
    int at = board->historyStart + second;
    return board->history[graph][lan][at < kHistorySeconds ? at : at - kHistorySeconds];
}

// LanA's value against LanB's, in tenths of a percent of the larger one,
// rounded: positive when LanA carries more.  0 when both are 0.
int32_t DivergenceTenths(uint64_t a, uint64_t b);

// LanA's rate of a counter against LanB's, so.
int32_t RateDivergence(const BoardView *board, Counter counter);

// "LanA" and "LanB", as the screen, the events and the plugin name them.
extern const char *const kLanNames[kLans];

#endif
