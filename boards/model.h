// What a reader knows of each board.  The service publishes each board's
// record once a period, all boards together; a reader reads it several
// times a period, takes each change as a publication, and counts what each
// publication's counters counted.  Once a second, a round gathers the
// publications since the round before: what their counters counted, and as
// much a second; and it decides the board's verdict, its state and its
// troubles, which every output says as it is.  Reading and rounds are plain
// functions of this model and a clock, so that tests feed it records and
// times of their own.
#ifndef BOARDS_MODEL_H
#define BOARDS_MODEL_H

#include <stdint.h>

#include "counter_step.h"
#include "prp_value.h"
#include "statistics_block.h"
#include "text.h"

enum { kLanA, kLanB, kLans };
// The counters of each LAN, as the record has them.
enum Counter { kRxOctets, kTxOctets, kRxErrors, kCounters };

// "LanA" and "LanB", as every output names them.
extern const char *const kLanNames[kLans];

// How often a board's record is read: several times a period, so that a
// publication is seen within this of its moment.
enum { kReadMs = 100, kHalfPeriodMs = kPublishingPeriodMs / 2 };

enum BoardState {
    kBoardLive,       // the record is current
    kBoardStale,      // no board's record has changed for the stale time: nothing publishes
    kBoardSilent,     // the others publish, but this board's record has not changed for the
                      // stale time: it sent and received nothing
    kBoardShort,      // the block is shorter than the record
    kBoardGone,       // no block (never seen, or vanished)
    kBoardUnreadable, // a block there that may not be read (no right, not a file)
    kBoardStates
};

// The word for a board's state, the same wherever it is written.
const char *StateWord(BoardState state);

// Whether the board's record is there to be shown: the last one read, for
// a board short for a while; none for a board gone or unreadable.
inline bool HasRecord(BoardState state) { return state != kBoardGone && state != kBoardUnreadable; }

// What the user chose that changes what a board's figures and troubles are.
struct BoardSettings {
    uint32_t staleMs;    // a record unchanged that long is stale (or silent)
    uint32_t markTenths; // LanA's rates further from LanB's than this are trouble
};

// How heavy a trouble is: a warning, or critical.
enum Severity : uint8_t { kNoTrouble, kWarning, kCritical };

// The kinds of trouble a board can be in, heaviest first.
enum TroubleKind : uint8_t {
    kTroubleGone,     // no record: gone or unreadable
    kTroubleLinkDown, // of a LAN
    kTroubleShort,
    kTroubleStale,
    kTroubleSilent,
    kTroubleRxApart, // LanA's receive rate beyond the mark from LanB's
    kTroubleTxApart,
    kTroubleErrors, // of a LAN: receive errors a second
    kTroubleKinds
};

struct Trouble {
    TroubleKind kind;
    int8_t lan; // of a LAN's trouble; 0 for the board's
    Severity severity;
};

enum { kMostTroubles = 12 };

// The round's verdict on a board: its troubles, heaviest first.
struct Verdict {
    int count;
    Trouble troubles[kMostTroubles];
};

// Publications held aside: steps beyond what the LAN can carry, until the
// next ones tell a reset from a board faster than its speed.
enum { kStepsBeyondForSpeed = 3 };
struct HeldStep {
    uint32_t step[kLans][kCounters];
    uint32_t periods;
};

struct Lan {
    // From the last publication.
    uint32_t counter[kCounters];
    uint8_t linkStatus;
    uint64_t linkChangedMs; // the publication that changed it, or when first seen
    bool linkChangeSeen;
    // The publications that turned the link from up to down; the periods
    // it has been down, since the reader started and in the last loss (from
    // the publication that showed it down to the one that showed it up),
    // and whether that loss was seen begin (not so for a link down when
    // first seen).
    uint32_t linkLosses;
    uint64_t linkLostMs;
    uint64_t downPeriods;
    uint32_t lossPeriods;
    bool lossSeen;
    // What the counters counted since the reader started: the sum of the
    // steps, so 64 bits wide, and nothing for a reset.
    uint64_t total[kCounters];
    // What the publications since the last round that showed them counted;
    // what those of that round counted, and as much a period, kept until a
    // round has something new.
    uint64_t counting[kCounters];
    uint64_t roundStep[kCounters];
    uint64_t perSecond[kCounters];
};

struct Board {
    int32_t boardIndex;
    const char *name; // "" where it has none
    BoardState state;
    uint64_t bitsPerSecond; // the LAN speed taken for the board
    bool sampled;           // a whole record has been seen
    // Counters growing faster than the fastest speed taken: a 32-bit
    // counter may wrap more than once a period, so nothing counted is known.
    bool tooFast;
    bool speedTaken; // a speed other than the one given (bitsPerSecond), or none (tooFast)
    uint32_t resets; // counters seen going back, a vanished block coming back

    // The last publication: its record and its moment (the read that first
    // saw it change; the first read's for the record first seen; when it
    // was due, for one that did not come).  The last record read twice
    // alike: the publication's, or a change between two publications,
    // published with the next.  The last publication that changed the
    // record, and the moment of one that came when due, which the next are
    // told by (0 before one is seen).
    PrpValue record, settled;
    uint64_t publishedMs, changedMs, phaseMs;
    // A change seen between two publications, at a moment not yet a
    // period from the one before (0: none): two such changes a whole number
    // of periods apart, and none when due between, are a service that
    // publishes at another moment now.
    uint64_t offTickMs;
    // The reads: whether the last differed from settled, when a whole
    // record was last seen, whether the reader did not read for longer than
    // a period since the last publication, and a change seen (at changeMs)
    // whose record has not yet been read twice alike.
    bool readDiffers;
    uint64_t seenMs;
    bool readGap, changing;
    uint64_t changeMs;
    bool completable; // the last publication changed the record, and no round showed it yet
    HeldStep held[kStepsBeyondForSpeed];
    int heldCount;
    // What the last publication counted, over how many periods, if it
    // counted: a change that completes it is checked with it.
    bool lastCounted;
    uint64_t lastStep[kLans][kCounters];
    uint32_t lastPeriods;

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
    // The publications the last step spans: from the one at stepFromMs to
    // the one at shownMs.
    uint64_t stepFromMs, shownMs;

    Lan lan[kLans];
    Verdict verdict; // the last round's
};

void StartBoard(Board *board, int32_t boardIndex, uint64_t bitsPerSecond);

// "board 3", or with its name, "board 3 (Bay 3 feeder)", as every output
// says a board to a person; with capital, "Board 3 (Bay 3 feeder)".
void AppendBoard(Text *text, int32_t boardIndex, const char *name, bool capital);

// One read of the board's block at nowMs on a monotonic clock: the record
// as read when state is kBlockWhole, and whether it is the one the read
// before found (false when that is not known).
void ReadBoard(Board *board, BlockState state, const PrpValue *record, bool again, uint64_t nowMs);

// Whether a read at nowMs may find something: always, but while the board's
// last publication came when due and the next is not due for a while yet,
// when nothing can change.
bool WantsRead(const Board *board, uint64_t nowMs);

// Closes the round at nowMs: what the publications since the last round
// counted becomes the board's figures, and its verdict is decided.
// latestChangeMs is the last moment any board watched changed its record
// (0: none has), which tells a silent board from a service that publishes
// nothing.
void CloseRound(Board *board, uint64_t nowMs, const BoardSettings *settings,
                uint64_t latestChangeMs);

// Decides the board's verdict as it is now: CloseRound's last step.
void DecideVerdict(Board *board, const BoardSettings *settings);

// LanA's value against LanB's, in tenths of a percent of the larger one,
// rounded: positive when LanA carries more.  0 when both are 0.
int32_t DivergenceTenths(uint64_t a, uint64_t b);

// LanA's rate of a counter against LanB's, so; and whether they are
// compared at all: while both links were up over the round's publications
// and the busier LAN carries over kLeastComparedOctets a second (below,
// a frame or two apart is a large percentage of nothing).
enum { kLeastComparedOctets = 1000 };
int32_t RateDivergence(const Board *board, Counter counter);
bool RatesCompared(const Board *board, Counter counter);

// Whether a divergence, in tenths of a percent, is beyond the mark.
bool BeyondMark(int64_t tenths, const BoardSettings *settings);

// The kinds of trouble, a row each: of each LAN or of the board, how
// heavy, and the test that finds it.
struct TroubleRow {
    bool ofEachLan;
    Severity severity;
    bool (*test)(const Board *board, int lan, const BoardSettings *settings);
};
extern const TroubleRow kTroubleRows[kTroubleKinds];

// Whether the board's verdict holds that trouble (of that LAN).
bool HasTrouble(const Board *board, TroubleKind kind, int lan);

// The board's worst trouble's severity; kNoTrouble when it is in none.
Severity WorstSeverity(const Board *board);

// A trouble in words, as every output says it to a person: "gone", "LanB
// down", "stale 12s", "rx +20.0%", "LanA 5 err/s".  nowMs is the round's.
void AppendTroubleWords(Text *text, const Board *board, const Trouble &trouble, uint64_t nowMs);

#endif
