#include "between.h"

#include <string.h>

#include "names.h"

// Whether the board's record is the service's now: its counters tell what
// it counted since the last check.
static bool RecordNow(const Board *board) {
    return board->sampled && !board->tooFast &&
           (board->state == kBoardLive || board->state == kBoardStale ||
            board->state == kBoardSilent);
}

// The board's last publication on the wall clock.
static uint64_t PublishedMs(const Board *board, const Sources *sources) {
    return sources->nowMs - (sources->monotonicMs - board->publishedMs);
}

// Whole periods in a span of the wall clock, rounded; 0 for none or a span
// that goes back.
static uint32_t PeriodsIn(uint64_t fromMs, uint64_t toMs) {
    if (toMs <= fromMs)
        return 0;
    uint64_t periods = (toMs - fromMs + kHalfPeriodMs) / kPublishingPeriodMs;
    return periods > UINT32_MAX ? UINT32_MAX : (uint32_t)periods;
}

// What a total of the exporter's file counted between the two files: known
// where both have it and it did not go back (the exporter started again).
static bool TotalStep(const BoardTotals *then, const BoardTotals *now, int lan, Total total,
                      uint64_t *step) {
    if (!TotalKnown(then, lan, total) || !TotalKnown(now, lan, total) ||
        now->total[lan][total] < then->total[lan][total])
        return false;
    *step = now->total[lan][total] - then->total[lan][total];
    return true;
}

// Errors a second, rounded up: one error is never 0.
static uint64_t ErrorsPerSecond(uint64_t errors, uint32_t periods) {
    return errors / periods + (errors % periods != 0);
}

// The exporter's totals, which never wrap and go on across a reset of the
// counters: the links lost, and what was counted over the periods between
// the two files.  False where a total went back: the exporter started
// again.
static bool FromTotals(const BoardTotals *then, const BoardTotals *now, uint32_t periods,
                       Between *between) {
    bool back = false;
    bool losses = true, errors = periods > 0, rates = periods > 0;
    uint64_t step[kLans][kTotals] = {};
    for (int lan = 0; lan < kLans; lan++) {
        for (int total = 0; total < kTotals; total++) {
            bool known = TotalStep(then, now, lan, (Total)total, &step[lan][total]);
            back |=
                TotalKnown(then, lan, (Total)total) && TotalKnown(now, lan, (Total)total) && !known;
            losses &= known || total > kTotalDownSeconds;
            errors &= known || total != kTotalErrors;
            rates &= known || total < kTotalReceived;
        }
    }
    for (int lan = 0; lan < kLans; lan++) {
        if (losses) {
            between->losses[lan] = step[lan][kTotalLosses];
            between->downSeconds[lan] = step[lan][kTotalDownSeconds];
        }
        if (errors) {
            between->errors[lan] = step[lan][kTotalErrors];
            between->errorsPerSecond[lan] = ErrorsPerSecond(step[lan][kTotalErrors], periods);
        }
        if (rates) {
            between->perSecond[lan][kRxOctets] = step[lan][kTotalReceived] / periods;
            between->perSecond[lan][kTxOctets] = step[lan][kTotalTransmitted] / periods;
        }
    }
    between->lossesKnown = losses;
    between->errorsKnown = errors;
    between->ratesKnown = rates;
    return !back;
}

// Appends a note of the board: "board 3 (Bay 3) " and what.
static void Note(Text *notes, const Board *board, const char *what) {
    AppendBoard(notes, board->boardIndex, board->name, false);
    AppendText(notes, what);
}

static void NoteDuration(Text *notes, const Board *board, const char *before, uint64_t ms,
                         const char *after) {
    Note(notes, board, before);
    AppendDuration(notes, ms / 1000);
    AppendText(notes, after);
}

static const char kOneLook[] = "; only what one look sees is judged\n";

// The record's counters, of 32 bits, where the exporter's totals do not
// tell: what they counted over the periods between the two publications,
// unless they went back (a reset: a step beyond what the LAN carries, as
// the boards library tells one) or may have wrapped meanwhile.
static void FromRecords(const RememberedBoard *then, const Board *board, const Sources *sources,
                        Between *between, Text *notes) {
    uint32_t periods = PeriodsIn(then->publishedMs, PublishedMs(board, sources));
    if (periods == 0)
        return;
    uint64_t speed =
        board->bitsPerSecond > then->bitsPerSecond ? board->bitsPerSecond : then->bitsPerSecond;
    bool octetsWrap = MayHaveWrapped(speed, periods);
    bool errorsWrap = MostCounted(speed, periods, true) >= (uint64_t)1 << 32;
    uint32_t step[kLans][kCounters];
    bool reset = false;
    for (int lan = 0; lan < kLans; lan++) {
        for (int counter = 0; counter < kCounters; counter++) {
            step[lan][counter] =
                CounterStep(then->counter[lan][counter], board->lan[lan].counter[counter]);
            bool frames = counter == kRxErrors;
            if (!(frames ? errorsWrap : octetsWrap))
                reset |= step[lan][counter] > MostCounted(speed, periods, frames);
        }
    }
    if (reset) {
        if (!between->errorsKnown || !between->ratesKnown) {
            Note(notes, board, ": its counters were reset since the last check");
            AppendText(notes, kOneLook);
        }
        return;
    }
    if (!between->errorsKnown && !errorsWrap) {
        between->errorsKnown = true;
        for (int lan = 0; lan < kLans; lan++) {
            between->errors[lan] = step[lan][kRxErrors];
            between->errorsPerSecond[lan] = ErrorsPerSecond(step[lan][kRxErrors], periods);
        }
    }
    if (!between->ratesKnown && !octetsWrap) {
        between->ratesKnown = true;
        for (int lan = 0; lan < kLans; lan++)
            for (int counter = 0; counter < kRxErrors; counter++)
                between->perSecond[lan][counter] = step[lan][counter] / periods;
    }
    if (!between->errorsKnown || !between->ratesKnown)
        NoteDuration(notes, board, ": ", (uint64_t)periods * kPublishingPeriodMs,
                     " since the last check, longer than its 32-bit counters tell; only what "
                     "one look sees is judged\n");
}

// LanA against LanB over the time between, as the boards library compares
// them: with both links up at both checks, none lost between where that is
// known, and the busier LAN carrying enough.
static void Compare(const RememberedBoard *then, const Board *board, Between *between) {
    bool up = true;
    for (int lan = 0; lan < kLans; lan++) {
        up &= then->linkStatus[lan] != 0 && board->lan[lan].linkStatus != 0;
        up &= !between->lossesKnown || between->losses[lan] == 0;
    }
    for (int counter = 0; counter < kRxErrors; counter++) {
        uint64_t a = between->perSecond[kLanA][counter], b = between->perSecond[kLanB][counter];
        between->compared[counter] =
            between->ratesKnown && up && (a > b ? a : b) > kLeastComparedOctets;
    }
}

static void WorkOutBetween(const RememberedBoard *then, const Board *board, const Sources *sources,
                           Between *between, Text *notes) {
    memset(between, 0, sizeof *between);
    const BoardTotals *now =
        sources->file != nullptr ? TotalsOf(sources->file, board->boardIndex) : nullptr;
    if (now != nullptr && then->hasTotals &&
        !FromTotals(&then->totals, now, PeriodsIn(then->writtenMs, sources->writtenMs), between))
        Note(notes, board,
             ": the exporter's totals went back (it started again); its links lost "
             "unknown\n");
    if (sources->file != nullptr && now == nullptr)
        Note(notes, board, ": not in the exporter's file; its links lost unknown\n");
    if (!RecordNow(board) || !then->hasRecord)
        return;
    if (!between->errorsKnown || !between->ratesKnown)
        FromRecords(then, board, sources, between, notes);
    Compare(then, board, between);
}

// The boards the memory has that the look did not see, a board gone each.
static Board goneBoards[kMostBoards];

void WorkOutCheck(const Sources *sources, const CheckOptions *options, Check *check) {
    const Watch *watch = sources->watch;
    const Memory *memory = sources->memory;
    check->nowMs = sources->nowMs;
    check->roundMs = watch->roundMs;
    check->count = 0;
    // The boards named are those of the memory too (the state is the
    // named boards'), in their order; otherwise the boards the look saw and
    // those of the memory, both in order of board index, go together.
    int memoryCount = memory != nullptr && options->named.boardCount == 0 ? memory->count : 0;
    int gone = 0;
    for (int w = 0, m = 0; (w < watch->count || m < memoryCount) && check->count < kMostBoards;) {
        const Board *board = w < watch->count ? BoardInOrder(watch, w) : nullptr;
        const RememberedBoard *remembered = m < memoryCount ? &memory->boards[m] : nullptr;
        bool looked = board != nullptr &&
                      (remembered == nullptr || board->boardIndex <= remembered->boardIndex);
        w += looked;
        if (looked) {
            remembered = memory != nullptr ? Remembered(memory, board->boardIndex) : nullptr;
            m += remembered != nullptr && m < memoryCount && remembered == &memory->boards[m];
        } else {
            // Not published now: no block.
            m++;
            Board *away = &goneBoards[gone++];
            StartBoard(away, remembered->boardIndex,
                       SpeedOf(&options->named, remembered->boardIndex));
            away->name = NameOf(options->named.names, away->boardIndex);
            DecideVerdict(away, &options->settings);
            board = away;
        }
        CheckedBoard *checked = &check->boards[check->count];
        checked->board = board;
        checked->awaySinceMs = 0;
        memset(&checked->between, 0, sizeof checked->between);
        if (!HasRecord(board->state)) {
            checked->awaySinceMs = remembered != nullptr && remembered->awaySinceMs != 0
                                       ? remembered->awaySinceMs
                                       : sources->nowMs;
            uint64_t awayMs = sources->nowMs - checked->awaySinceMs;
            if (!looked && awayMs > options->forgetSeconds * 1000) {
                NoteDuration(&check->notes, board, " gone for ", awayMs, ": forgotten\n");
                continue;
            }
        } else if (remembered != nullptr && remembered->awaySinceMs != 0) {
            NoteDuration(&check->notes, board, " back after ",
                         sources->nowMs - remembered->awaySinceMs, " away\n");
        } else if (remembered != nullptr) {
            WorkOutBetween(remembered, board, sources, &checked->between, &check->notes);
        } else if (memory != nullptr) {
            Note(&check->notes, board, ": not seen by the last check");
            AppendText(&check->notes, kOneLook);
        }
        check->count++;
    }
}

void Remember(const Check *check, const Sources *sources, Memory *next) {
    next->checkedMs = sources->nowMs;
    next->count = 0;
    for (int i = 0; i < check->count; i++) {
        const CheckedBoard &checked = check->boards[i];
        const Board *board = checked.board;
        RememberedBoard *remembered = &next->boards[next->count++];
        memset(remembered, 0, sizeof *remembered);
        remembered->boardIndex = board->boardIndex;
        remembered->state = board->state;
        remembered->awaySinceMs = checked.awaySinceMs;
        if (RecordNow(board)) {
            remembered->hasRecord = true;
            remembered->publishedMs = PublishedMs(board, sources);
            remembered->bitsPerSecond = board->bitsPerSecond;
            for (int lan = 0; lan < kLans; lan++) {
                remembered->linkStatus[lan] = board->lan[lan].linkStatus;
                memcpy(remembered->counter[lan], board->lan[lan].counter,
                       sizeof remembered->counter[lan]);
            }
        }
        const BoardTotals *totals =
            sources->file != nullptr ? TotalsOf(sources->file, board->boardIndex) : nullptr;
        if (totals != nullptr && HasRecord(board->state)) {
            remembered->hasTotals = true;
            remembered->writtenMs = sources->writtenMs;
            remembered->totals = *totals;
        }
    }
}
