#include "model.h"

#include <string.h>

const char *const kLanNames[kLans] = {"LanA", "LanB"};

static const char *const kStateWords[kBoardStates] = {"live",  "stale", "silent",
                                                      "short", "gone",  "unreadable"};

const char *StateWord(BoardState state) { return kStateWords[state]; }

// Whether the record is the service's current one: not one left from a
// block cut short.
static bool Current(BoardState state) { return HasRecord(state) && state != kBoardShort; }

void StartBoard(Board *board, int32_t boardIndex, uint64_t bitsPerSecond) {
    memset(board, 0, sizeof *board);
    board->boardIndex = boardIndex;
    board->name = "";
    board->state = kBoardGone;
    board->bitsPerSecond = bitsPerSecond;
}

void AppendBoard(Text *text, int32_t boardIndex, const char *name, bool capital) {
    AppendText(text, capital ? "Board " : "board ");
    AppendSigned(text, boardIndex);
    if (name[0] == '\0')
        return;
    AppendText(text, " (");
    AppendText(text, name);
    AppendChar(text, ')');
}

int32_t DivergenceTenths(uint64_t a, uint64_t b) {
    uint64_t larger = a > b ? a : b;
    if (larger == 0)
        return 0;
    uint64_t apart = a > b ? a - b : b - a;
    int32_t tenths = (int32_t)((apart * 1000 + larger / 2) / larger); // rounded
    return a > b ? tenths : -tenths;
}

int32_t RateDivergence(const Board *board, Counter counter) {
    return DivergenceTenths(board->lan[kLanA].perSecond[counter],
                            board->lan[kLanB].perSecond[counter]);
}

bool RatesCompared(const Board *board, Counter counter) {
    if (!board->ratesKnown || !Current(board->state))
        return false;
    uint64_t a = board->lan[kLanA].perSecond[counter], b = board->lan[kLanB].perSecond[counter];
    if ((a > b ? a : b) <= kLeastComparedOctets)
        return false;
    // A LAN down for part of the round carried nothing then: that is the
    // link's trouble, not LanA against LanB.
    for (const Lan &lan : board->lan)
        if (lan.linkStatus == 0 || (lan.linkChangeSeen && lan.linkChangedMs > board->stepFromMs))
            return false;
    return true;
}

bool BeyondMark(int64_t tenths, const BoardSettings *settings) {
    return (tenths < 0 ? -tenths : tenths) > (int64_t)settings->markTenths;
}

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
    kBeyond,  // beyond what it can carry: a reset, or a LAN faster than its speed
    kReset,   // beyond what any speed taken carries: a counter that went back
    kGap,     // over so many periods that a counter may have wrapped: nothing known
};

// The fastest speed a board is taken at: beyond, a 32-bit counter may wrap
// more than once a period.
const uint64_t kFastestSpeed = 10000000000ull;

template <typename Step>
static bool Carries(const Step step[kLans][kCounters], uint32_t periods, uint64_t bitsPerSecond) {
    for (int lan = 0; lan < kLans; lan++)
        for (int counter = 0; counter < kCounters; counter++)
            if (step[lan][counter] > MostCounted(bitsPerSecond, periods, counter == kRxErrors))
                return false;
    return true;
}

// An error counter steps beyond what the fastest LAN carries only by going
// back: a reset, whatever the octets say.  Anything else beyond the speed
// waits for the next publications, which tell a reset from a faster board.
template <typename Step>
static StepKind KindOf(const Step step[kLans][kCounters], uint32_t periods,
                       uint64_t bitsPerSecond) {
    if (MayHaveWrapped(bitsPerSecond, periods))
        return kGap;
    for (int lan = 0; lan < kLans; lan++)
        if (step[lan][kRxErrors] > MostCounted(kFastestSpeed, periods, true))
            return kReset;
    return Carries(step, periods, bitsPerSecond) ? kCounted : kBeyond;
}

static void Count(Board *board, const uint32_t step[kLans][kCounters], uint32_t periods) {
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
static void TakeFasterSpeed(Board *board) {
    static const uint64_t kSpeeds[] = {1000000000ull, kFastestSpeed};
    board->speedTaken = true;
    for (uint64_t speed : kSpeeds) {
        bool carries = speed > board->bitsPerSecond;
        for (int i = 0; carries && i < board->heldCount; i++)
            carries = Carries(board->held[i].step, board->held[i].periods, speed);
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
static void Publish(Board *board, const PrpValue *record, uint64_t moment, uint32_t periods) {
    uint32_t step[kLans][kCounters];
    for (int lan = 0; lan < kLans; lan++) {
        Lan *l = &board->lan[lan];
        for (int counter = 0; counter < kCounters; counter++) {
            uint32_t now = (uint32_t)(record->*kLanFields[lan].counter[counter]);
            step[lan][counter] = CounterStep(l->counter[counter], now);
            l->counter[counter] = now;
        }
        uint8_t linkStatus = record->*kLanFields[lan].linkStatus;
        if (l->linkStatus == 0) { // down from the publication before to this one
            l->downPeriods += periods;
            l->lossPeriods += periods;
        }
        if (l->linkStatus != 0 && linkStatus == 0) {
            l->linkLosses++;
            l->linkLostMs = moment;
            l->lossPeriods = 0;
            l->lossSeen = true;
        }
        if (linkStatus != l->linkStatus) {
            l->linkStatus = linkStatus;
            l->linkChangedMs = moment;
            l->linkChangeSeen = true;
        }
    }
    if (!Same(record, &board->record)) {
        board->changedMs = moment;
        board->completable = true;
    }
    board->record = *record;
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
            whole[lan][counter] =
                step[lan][counter] + (completing ? board->lastStep[lan][counter] : 0);
    uint32_t over = completing ? board->lastPeriods : periods;
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

// The periods from the last publication to one at moment: one, unless the
// reader itself did not read for longer than a period meanwhile.
static uint32_t PeriodsTo(const Board *board, uint64_t moment) {
    if (!board->readGap)
        return 1;
    uint64_t periods = (moment - board->publishedMs + kHalfPeriodMs) / kPublishingPeriodMs;
    return periods > 1 ? (uint32_t)periods : 1;
}

// How far a moment is from one a whole number of periods after another, in
// (-half a period, +half a period].
static int64_t OffsetFrom(uint64_t from, uint64_t moment) {
    int64_t since = ((int64_t)(moment - from) % kPublishingPeriodMs + kPublishingPeriodMs) %
                    kPublishingPeriodMs;
    return since > kHalfPeriodMs ? since - kPublishingPeriodMs : since;
}

// A change seen when due is a publication: the first read at or after the
// service's moment sees it, a little later on a busy machine.
static bool WhenDue(int64_t offset) { return offset > -kReadMs && offset <= 2 * kReadMs; }

// The record read twice alike, board->settled, first seen at changeMs.
static void Settle(Board *board) {
    uint64_t moment = board->changeMs;
    if (board->phaseMs == 0) { // the first change tells when the service publishes
        board->phaseMs = moment;
        Publish(board, &board->settled, moment, PeriodsTo(board, moment));
        return;
    }
    bool due = WhenDue(OffsetFrom(board->phaseMs, moment));
    // Changes between publications a whole number of periods apart, and
    // none when due: the service publishes at another moment now.
    if (!due && board->offTickMs != 0 && WhenDue(OffsetFrom(board->offTickMs, moment)) &&
        moment - board->offTickMs >= kHalfPeriodMs)
        due = true;
    if (!due) {
        board->offTickMs = moment;
    } else {
        board->offTickMs = 0;
        board->phaseMs = moment; // kept to as the service drifts
        if (moment - board->publishedMs >= kHalfPeriodMs) {
            Publish(board, &board->settled, moment, PeriodsTo(board, moment));
            return;
        }
    }
    // A change between two publications (or a second one at a
    // publication's moment): it completes the last publication while no
    // round has shown it; otherwise it goes with the next, when that comes
    // or is due (ReadBoard).
    if (board->completable)
        Publish(board, &board->settled, board->publishedMs, 0);
}

// The record first seen, or seen again after its block was gone or
// unreadable: a service that started again, at a moment of its own.
static void FirstRecord(Board *board, const PrpValue *record, uint64_t nowMs) {
    if (board->sampled) {
        board->resets += 1 + (uint32_t)board->heldCount;
        board->heldCount = 0;
        board->countingBroken = true;
    }
    board->sampled = true;
    board->record = board->settled = *record;
    board->publishedMs = board->changedMs = board->seenMs = nowMs;
    board->stepFromMs = board->shownMs = nowMs;
    board->phaseMs = board->offTickMs = 0;
    board->changing = board->readDiffers = board->readGap = board->completable = false;
    for (int lan = 0; lan < kLans; lan++) {
        Lan *l = &board->lan[lan];
        for (int counter = 0; counter < kCounters; counter++)
            l->counter[counter] = (uint32_t)(record->*kLanFields[lan].counter[counter]);
        l->linkStatus = record->*kLanFields[lan].linkStatus;
        l->linkChangedMs = nowMs;
        l->linkChangeSeen = l->lossSeen = false;
        l->lossPeriods = 0;
    }
    board->state = kBoardLive;
}

void ReadBoard(Board *board, BlockState state, const PrpValue *record, bool again, uint64_t nowMs) {
    if (state != kBlockWhole) {
        board->state = state == kBlockShort  ? kBoardShort
                       : state == kBlockGone ? kBoardGone
                                             : kBoardUnreadable;
        // What comes after is counted over the periods it spans.
        board->changing = false;
        board->readGap = true;
        return;
    }
    if (!board->sampled || !HasRecord(board->state)) {
        FirstRecord(board, record, nowMs);
        return;
    }
    if (board->state == kBoardShort) // whole again: the same block, cut short a while
        board->state = kBoardLive;
    board->readGap |= nowMs - board->seenMs > kPublishingPeriodMs;
    board->seenMs = nowMs;
    if (!again)
        board->readDiffers = !Same(record, &board->settled);
    if (board->readDiffers) {
        // A change is settled once its record is read twice alike: a record
        // read while the service was writing it never counts.
        if (!board->changing) {
            board->changing = true;
            board->changeMs = nowMs;
            if (!again)
                return;
        } else if (!again) {
            return;
        }
        board->changing = board->readDiffers = false;
        board->settled = *record;
        Settle(board);
        return;
    }
    board->changing = false;
    // A publication due that did not come, or that brings a change seen
    // between two publications.
    if (nowMs >= board->publishedMs + kPublishingPeriodMs + kHalfPeriodMs) {
        uint32_t periods = PeriodsTo(board, nowMs - kHalfPeriodMs);
        Publish(board, &board->settled,
                board->publishedMs + (uint64_t)periods * kPublishingPeriodMs, periods);
    }
}

// The reads begin again when the next publication is due: the service
// keeps to its period within a few milliseconds, and a publication's moment
// is a read's, so the read a period on finds the next (one late, the read
// after).  A change between two publications is found then, or by the
// round's read of every board.
bool WantsRead(const Board *board, uint64_t nowMs) {
    return board->phaseMs == 0 || board->changing || board->readDiffers || !Current(board->state) ||
           nowMs >= board->publishedMs + kPublishingPeriodMs;
}

void CloseRound(Board *board, uint64_t nowMs, const BoardSettings *settings,
                uint64_t latestChangeMs) {
    if (Current(board->state)) {
        bool unchanged = nowMs - board->changedMs >= settings->staleMs;
        bool othersChanged = latestChangeMs != 0 && nowMs - latestChangeMs < settings->staleMs;
        board->state = !unchanged ? kBoardLive : othersChanged ? kBoardSilent : kBoardStale;
    }
    board->stepped = false;
    // Past a round, a change goes with the next publication: the one before
    // is shown, or what it counted is set aside below.
    board->completable = false;
    if (board->state != kBoardLive && board->state != kBoardSilent) {
        // What was counted meanwhile waits for a round that shows it, so
        // that the rounds' steps add up to the totals; periods that counted
        // nothing (a stale record's) do not dilute the rates to come.
        board->ratesKnown = false;
        bool counted = false;
        for (const Lan &lan : board->lan)
            for (uint64_t step : lan.counting)
                counted |= step != 0;
        if (!counted)
            board->countingPeriods = 0;
    } else if (board->countingPeriods > 0) {
        board->stepped = true;
        board->ratesKnown = !board->tooFast;
        board->roundPeriods = board->countingPeriods;
        board->stepFromMs = board->shownMs;
        board->shownMs = board->publishedMs;
        for (Lan &lan : board->lan) {
            for (int counter = 0; counter < kCounters; counter++) {
                // Errors a second are rounded up: an error is never averaged away.
                uint32_t periods = board->countingPeriods;
                lan.roundStep[counter] = lan.counting[counter];
                lan.perSecond[counter] =
                    (lan.counting[counter] + (counter == kRxErrors ? periods - 1 : 0)) / periods;
                lan.counting[counter] = 0;
            }
        }
        board->countingPeriods = 0;
        board->countingBroken = false;
    } else if (board->countingBroken) {
        board->ratesKnown = false;
        board->countingBroken = false;
        board->shownMs = board->publishedMs; // what follows steps from here
    }                                        // else nothing new: the rates stay
    DecideVerdict(board, settings);
}

// The troubles, a test each.
static bool Gone(const Board *board, int, const BoardSettings *) {
    return !HasRecord(board->state);
}
static bool LinkDown(const Board *board, int lan, const BoardSettings *) {
    return board->sampled && HasRecord(board->state) && board->lan[lan].linkStatus == 0;
}
static bool Short(const Board *board, int, const BoardSettings *) {
    return board->state == kBoardShort;
}
static bool Stale(const Board *board, int, const BoardSettings *) {
    return board->state == kBoardStale;
}
static bool Silent(const Board *board, int, const BoardSettings *) {
    return board->state == kBoardSilent;
}
template <Counter counter>
static bool Apart(const Board *board, int, const BoardSettings *settings) {
    return RatesCompared(board, counter) && BeyondMark(RateDivergence(board, counter), settings);
}
static bool Errors(const Board *board, int lan, const BoardSettings *) {
    return board->ratesKnown && board->lan[lan].perSecond[kRxErrors] != 0;
}

const TroubleRow kTroubleRows[kTroubleKinds] = {
    // of each LAN, severity, test
    {false, kCritical, Gone},
    {true, kCritical, LinkDown},
    {false, kWarning, Short},
    {false, kWarning, Stale},
    {false, kWarning, Silent},
    {false, kWarning, Apart<kRxOctets>},
    {false, kWarning, Apart<kTxOctets>},
    {true, kWarning, Errors},
};

void DecideVerdict(Board *board, const BoardSettings *settings) {
    Verdict *verdict = &board->verdict;
    verdict->count = 0;
    // The rows are in order of weight, the criticals first.
    for (int kind = 0; kind < kTroubleKinds; kind++) {
        const TroubleRow &row = kTroubleRows[kind];
        for (int lan = 0; lan < (row.ofEachLan ? kLans : 1); lan++)
            if (row.test(board, lan, settings))
                verdict->troubles[verdict->count++] =
                    Trouble{(TroubleKind)kind, (int8_t)lan, row.severity};
    }
}

bool HasTrouble(const Board *board, TroubleKind kind, int lan) {
    for (int i = 0; i < board->verdict.count; i++)
        if (board->verdict.troubles[i].kind == kind && board->verdict.troubles[i].lan == lan)
            return true;
    return false;
}

Severity WorstSeverity(const Board *board) {
    return board->verdict.count != 0 ? board->verdict.troubles[0].severity : kNoTrouble;
}

void AppendTroubleWords(Text *text, const Board *board, const Trouble &trouble, uint64_t nowMs) {
    const Lan &lan = board->lan[trouble.lan];
    switch (trouble.kind) {
    case kTroubleGone:
    case kTroubleShort:
        AppendText(text, StateWord(board->state));
        break;
    case kTroubleLinkDown:
        AppendText(text, kLanNames[trouble.lan]);
        AppendText(text, " down");
        break;
    case kTroubleStale:
    case kTroubleSilent:
        AppendText(text, StateWord(board->state));
        AppendChar(text, ' ');
        AppendDuration(text, (nowMs - board->changedMs) / 1000);
        break;
    case kTroubleRxApart:
    case kTroubleTxApart: {
        int32_t tenths =
            RateDivergence(board, trouble.kind == kTroubleRxApart ? kRxOctets : kTxOctets);
        AppendText(text, trouble.kind == kTroubleRxApart ? "rx " : "tx ");
        AppendText(text, tenths > 0 ? "+" : "");
        AppendDecimal(text, tenths, 1);
        AppendChar(text, '%');
        break;
    }
    case kTroubleErrors:
        AppendText(text, kLanNames[trouble.lan]);
        AppendChar(text, ' ');
        AppendCount(text, lan.perSecond[kRxErrors], 5);
        AppendText(text, " err/s");
        break;
    case kTroubleKinds:
        break;
    }
}
