#include "board_view.h"

#include <string.h>

void StartBoardView(BoardView *board, int32_t boardIndex, uint64_t bitsPerSecond) {
    memset(board, 0, sizeof *board);
    board->boardIndex = boardIndex;
    board->state = kBoardGone;
    board->bitsPerSecond = bitsPerSecond;
    for (auto &graph : board->history)
        for (auto &lan : graph)
            for (uint32_t &value : lan)
                value = kNotSeen;
}

int32_t DivergenceTenths(uint64_t a, uint64_t b) {
    uint64_t larger = a > b ? a : b;
    if (larger == 0)
        return 0;
    uint64_t apart = a > b ? a - b : b - a;
    int32_t tenths = (int32_t)((apart * 1000 + larger / 2) / larger); // rounded
    return a > b ? tenths : -tenths;
}

int32_t RateDivergence(const BoardView *board, Counter counter) {
    return DivergenceTenths(board->lan[kLanA].perSecond[counter],
                            board->lan[kLanB].perSecond[counter]);
}

const char *const kLanNames[kLans] = {"LanA", "LanB"};

struct LanFields {
    int32_t PrpValue::*counter[kCounters];
    uint8_t PrpValue::*linkStatus;
};
static const LanFields kLanFields[kLans] = {
    {{&PrpValue::rxGoodOctetsA, &PrpValue::txOctetsA, &PrpValue::rxErrA}, &PrpValue::linkStatusA},
    {{&PrpValue::rxGoodOctetsB, &PrpValue::txOctetsB, &PrpValue::rxErrB}, &PrpValue::linkStatusB},
};

static bool Same(const PrpValue *a, const PrpValue *b) { return memcmp(a, b, sizeof *a) == 0; }

// What a publication's step is.
enum StepKind {
    kCounted, // traffic the LAN can carry
    kBeyond,  // octets beyond what it can carry: a reset, or a LAN faster than its speed
    kReset,   // an error counter lower than before
    kGap,     // over so many periods that a counter may have wrapped: nothing known
};

template <typename Step>
static StepKind KindOf(const Step step[kLans][kCounters], uint32_t periods, uint64_t bitsPerSecond) {
    if (MayHaveWrapped(bitsPerSecond, periods))
        return kGap;
    StepKind kind = kCounted;
    for (int lan = 0; lan < kLans; lan++) {
        if (step[lan][kRxErrors] > MostCounted(bitsPerSecond, periods, true))
            return kReset;
        if (step[lan][kRxOctets] > MostCounted(bitsPerSecond, periods, false) ||
            step[lan][kTxOctets] > MostCounted(bitsPerSecond, periods, false))
            kind = kBeyond;
    }
    return kind;
}

static void Count(BoardView *board, const uint32_t step[kLans][kCounters], uint32_t periods) {
    for (int lan = 0; lan < kLans; lan++) {
        for (int counter = 0; counter < kCounters; counter++) {
            board->lan[lan].total[counter] += step[lan][counter];
            board->lan[lan].counting[counter] += step[lan][counter];
        }
    }
    board->countingPeriods += periods;
}

// Steps beyond the speed, publication after publication, are traffic, not
// resets: the board is faster than its speed.  The smallest speed that
// carries them is taken, and they count; where none does, the board is too
// fast for its counters to tell anything.
static void TakeFasterSpeed(BoardView *board) {
    static const uint64_t kSpeeds[] = {1000000000ull, 10000000000ull};
    board->speedTaken = true;
    for (uint64_t speed : kSpeeds) {
        bool carries = speed > board->bitsPerSecond;
        for (int i = 0; carries && i < board->heldCount; i++)
            carries = KindOf(board->held[i].step, board->held[i].periods, speed) == kCounted;
        if (!carries)
            continue;
        board->bitsPerSecond = speed;
        for (int i = 0; i < board->heldCount; i++)
            Count(board, board->held[i].step, board->held[i].periods);
        board->heldCount = 0;
        return;
    }
    board->tooFast = true;
    board->heldCount = 0;
}

// A publication: the record it brought, its moment, the periods since the
// one before (0 for what completes the one before, which is then checked
// whole: what it counted at first and now).
static void Publish(BoardView *board, const PrpValue *record, uint64_t moment, uint32_t periods) {
    uint32_t step[kLans][kCounters];
    for (int lan = 0; lan < kLans; lan++) {
        LanView *l = &board->lan[lan];
        for (int counter = 0; counter < kCounters; counter++) {
            uint32_t now = (uint32_t)(record->*kLanFields[lan].counter[counter]);
            step[lan][counter] = CounterStep(l->counter[counter], now);
            l->counter[counter] = now;
        }
        uint8_t linkStatus = record->*kLanFields[lan].linkStatus;
        if (l->linkStatus == 0)
            l->linkDownPeriods += periods;
        if (l->linkStatus != 0 && linkStatus == 0) {
            l->linkLosses++;
            l->linkLostMs = moment;
        }
        if (linkStatus != l->linkStatus) {
            l->linkStatus = linkStatus;
            l->linkChangedMs = moment;
            l->linkChangeSeen = true;
        }
    }
    if (!Same(record, &board->record)) {
        board->changedMs = board->phaseMs = moment;
        board->completable = true;
    }
    board->record = *record;
    board->readIsRecord = true; // published as read
    board->publishedMs = moment;
    board->readGap = false;
    if (board->tooFast)
        return;
    // What completes a publication that counted nothing (a reset, a gap,
    // one held aside) counts nothing either.
    if (periods == 0 && !board->lastCounted) {
        board->countingBroken = true;
        return;
    }
    bool completing = periods == 0;
    uint64_t whole[kLans][kCounters];
    for (int lan = 0; lan < kLans; lan++)
        for (int counter = 0; counter < kCounters; counter++)
            whole[lan][counter] = step[lan][counter] + (completing ? board->lastStep[lan][counter] : 0);
    uint32_t over = completing ? board->lastPeriods : periods > 0 ? periods : 1;
    StepKind kind = KindOf(whole, over, board->bitsPerSecond);
    if (periods == 0 && kind == kBeyond)
        kind = kReset; // what completes a publication is never held
    board->lastCounted = kind == kCounted;
    memcpy(board->lastStep, whole, sizeof whole);
    board->lastPeriods = over;
    switch (kind) {
    case kGap:
        board->heldCount = 0;
        board->countingBroken = true;
        break;
    case kReset: // what was held aside was no traffic either
        board->resets += 1 + (uint32_t)board->heldCount;
        board->heldCount = 0;
        board->countingBroken = true;
        break;
    case kBeyond:
        memcpy(board->held[board->heldCount].step, step, sizeof step);
        board->held[board->heldCount++].periods = periods;
        if (board->heldCount == kStepsBeyondForSpeed)
            TakeFasterSpeed(board);
        break;
    case kCounted: // what was held aside were resets
        board->resets += (uint32_t)board->heldCount;
        board->countingBroken |= board->heldCount != 0;
        board->heldCount = 0;
        Count(board, step, periods);
        break;
    }
}

// The periods from the last publication to one at moment: one, unless
// WatchBoards itself did not read for longer than a period meanwhile.
static uint32_t PeriodsTo(const BoardView *board, uint64_t moment) {
    if (!board->readGap)
        return 1;
    uint64_t periods = (moment - board->publishedMs + kHalfPeriodMs) / kPublishingPeriodMs;
    return periods > 1 ? (uint32_t)periods : 1;
}

// The record first seen, or seen again after its block was gone.
static void FirstRecord(BoardView *board, const PrpValue *record, uint64_t nowMs) {
    if (board->sampled) { // a block gone and back: a service that started again
        board->resets += 1 + (uint32_t)board->heldCount;
        board->heldCount = 0;
        board->countingBroken = true;
    }
    board->sampled = true;
    board->record = *record;
    board->readIsRecord = true;
    board->publishedMs = board->changedMs = board->seenMs = nowMs;
    board->changing = board->readGap = false;
    for (int lan = 0; lan < kLans; lan++) {
        LanView *l = &board->lan[lan];
        for (int counter = 0; counter < kCounters; counter++)
            l->counter[counter] = (uint32_t)(record->*kLanFields[lan].counter[counter]);
        l->linkStatus = record->*kLanFields[lan].linkStatus;
        l->linkChangedMs = nowMs;
        l->linkChangeSeen = false;
    }
    board->state = kBoardLive;
}

void ReadBoard(BoardView *board, BlockState state, const PrpValue *record, bool again,
               uint64_t nowMs) {
    if (state != kBlockWhole) {
        board->state = state == kBlockShort ? kBoardShort
                       : state == kBlockGone ? kBoardGone
                                             : kBoardUnreadable;
        board->changing = false;
        return;
    }
    if (!board->sampled || board->state == kBoardGone) {
        FirstRecord(board, record, nowMs);
        return;
    }
    if (board->state != kBoardStale)
        board->state = kBoardLive;
    board->readGap |= nowMs - board->seenMs > kPublishingPeriodMs;
    board->seenMs = nowMs;
    if (!again)
        board->readIsRecord = Same(record, &board->record);
    // A change is a publication once its record is read twice alike: a
    // record read while the service was writing it never counts.
    if (board->changing) {
        if (again) {
            // It completes the publication before unless a round has shown
            // that one meanwhile: then it is the next.
            bool completes = board->amending && board->completable;
            board->changing = false;
            Publish(board, record, completes ? board->publishedMs : board->changeMs,
                    completes ? 0 : PeriodsTo(board, board->changeMs));
        }
        return;
    }
    if (!board->readIsRecord) {
        // Within half a period of a publication that changed the record, a
        // change completes it; otherwise it is the next publication.
        board->changing = true;
        board->amending = board->completable && board->publishedMs == board->phaseMs &&
                          nowMs - board->publishedMs < kHalfPeriodMs;
        board->changeMs = nowMs;
        if (again) // read alike before a spell the block could not be read
            ReadBoard(board, state, record, again, nowMs);
        return;
    }
    // A publication due that did not come: one that counted nothing.
    if (nowMs >= board->publishedMs + kPublishingPeriodMs + kHalfPeriodMs) {
        uint32_t periods = PeriodsTo(board, nowMs - kHalfPeriodMs);
        Publish(board, record, board->publishedMs + (uint64_t)periods * kPublishingPeriodMs,
                periods);
    }
}

// How long before a publication is due the reads begin again: the service
// keeps to its period within a few milliseconds.
enum { kReadsBeforeDueMs = 3 * kReadMs };

bool WantsRead(const BoardView *board, uint64_t nowMs) {
    return board->phaseMs == 0 || board->changing || !board->readIsRecord ||
           board->state != kBoardLive ||
           nowMs + kReadsBeforeDueMs >= board->publishedMs + kPublishingPeriodMs;
}

void CloseRound(BoardView *board, uint64_t nowMs, const ViewSettings *settings) {
    if (board->state == kBoardLive || board->state == kBoardStale)
        board->state = nowMs - board->changedMs >= settings->staleMs ? kBoardStale : kBoardLive;
    board->stepped = false;
    if (board->state != kBoardLive) {
        // What was counted meanwhile waits for a round that shows it, so
        // that the rounds' steps add up to the totals; periods that counted
        // nothing (a stale record's) do not dilute the rates to come.
        board->ratesKnown = false;
        bool counted = false;
        for (const LanView &lan : board->lan)
            for (uint64_t step : lan.counting)
                counted |= step != 0;
        if (!counted)
            board->countingPeriods = 0;
        return;
    }
    if (board->countingPeriods > 0) {
        // Shown: a change from now on is the next publication.
        board->completable = false;
        board->stepped = true;
        board->ratesKnown = !board->tooFast;
        board->roundPeriods = board->countingPeriods;
        for (LanView &lan : board->lan) {
            for (int counter = 0; counter < kCounters; counter++) {
                lan.roundStep[counter] = lan.counting[counter];
                lan.perSecond[counter] = lan.counting[counter] / board->countingPeriods;
                lan.counting[counter] = 0;
            }
        }
        board->countingPeriods = 0;
    } else if (board->countingBroken) {
        board->ratesKnown = false;
    } // else nothing new: the rates stay
    board->countingBroken = false;
}
