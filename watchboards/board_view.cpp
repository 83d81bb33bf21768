#include "board_view.h"

#include <string.h>

#include "counter_step.h"

void StartBoardView(BoardView *board, int32_t boardIndex) {
    memset(board, 0, sizeof *board);
    board->boardIndex = boardIndex;
    board->state = kBoardGone;
    for (auto &graph : board->history)
        for (auto &lan : graph)
            for (uint32_t &value : lan)
                value = kNotSeen;
}

// Whole publishing periods, give or take a quarter: time between samples
// wanders that much.
static bool WholePeriods(uint32_t elapsedMs) {
    uint32_t off = (elapsedMs + kPublishingPeriodMs / 2) % kPublishingPeriodMs;
    return elapsedMs >= kPublishingPeriodMs / 2 && off >= kPublishingPeriodMs / 4 &&
           off <= kPublishingPeriodMs * 3 / 4;
}

static uint32_t Periods(uint32_t elapsedMs) {
    return (elapsedMs + kPublishingPeriodMs / 2) / kPublishingPeriodMs;
}

uint64_t PerSecond(uint32_t step, uint32_t elapsedMs) {
    uint32_t periods = Periods(elapsedMs);
    return periods <= 1 ? step : step / periods;
}

int32_t DivergenceTenths(uint32_t a, uint32_t b) {
    uint32_t larger = a > b ? a : b;
    if (larger == 0)
        return 0;
    int64_t difference = (int64_t)a - (int64_t)b;
    return (int32_t)(difference * 1000 / (int64_t)larger);
}

struct LanFields {
    int32_t PrpValue::*rxGoodOctets, PrpValue::*txOctets, PrpValue::*rxErr;
    uint8_t PrpValue::*linkStatus;
};
static const LanFields kLanFields[kLans] = {
    {&PrpValue::rxGoodOctetsA, &PrpValue::txOctetsA, &PrpValue::rxErrA, &PrpValue::linkStatusA},
    {&PrpValue::rxGoodOctetsB, &PrpValue::txOctetsB, &PrpValue::rxErrB, &PrpValue::linkStatusB},
};

// Counts what each counter counted since the last whole record; false when
// one of them went back (a reset, which counts nothing).
static bool StepCounters(BoardView *board, const PrpValue *record, uint64_t octetsPerSecond) {
    bool counted = true;
    for (int i = 0; i < kLans; i++) {
        LanView *lan = &board->lan[i];
        const LanFields &field = kLanFields[i];
        counted &= CounterStep(lan->rxGoodOctets, (uint32_t)(record->*field.rxGoodOctets),
                               board->elapsedMs, octetsPerSecond, &lan->rxStep);
        counted &= CounterStep(lan->txOctets, (uint32_t)(record->*field.txOctets), board->elapsedMs,
                               octetsPerSecond, &lan->txStep);
        counted &= CounterStep(lan->rxErr, (uint32_t)(record->*field.rxErr), board->elapsedMs,
                               octetsPerSecond / kSmallestFrameOctets, &lan->errStep);
    }
    return counted;
}

// What a LAN must carry for the octet counters' differences of a sample,
// as CounterStep allows them: in bit/s.
static uint64_t BitsPerSecondNeeded(const BoardView *board, const PrpValue *record) {
    uint64_t most = 0;
    for (int i = 0; i < kLans; i++) {
        const LanView *lan = &board->lan[i];
        const LanFields &field = kLanFields[i];
        uint32_t rx = (uint32_t)(record->*field.rxGoodOctets) - lan->rxGoodOctets;
        uint32_t tx = (uint32_t)(record->*field.txOctets) - lan->txOctets;
        uint32_t larger = rx > tx ? rx : tx;
        most = larger > most ? larger : most;
    }
    return most * 8 * 1000 / ((uint64_t)board->elapsedMs + kPublishingPeriodMs);
}

void TakeSample(BoardView *board, BlockState state, const PrpValue *record, uint64_t nowMs,
                const ViewSettings *settings) {
    BoardState before = board->state;
    board->stepped = false;
    board->missedPublication = false;
    if (state != kBlockWhole) {
        board->state = state == kBlockShort ? kBoardShort : kBoardGone;
    } else {
        bool first = !board->sampled;
        // The record changed at the sample before and not since: taken too
        // early, before the service published again, or the traffic
        // stopped.  Which is unknown.
        bool changing = board->changedMs == board->recordMs;
        bool unchanged = !first && memcmp(&board->record, record, sizeof *record) == 0;
        if (!unchanged)
            board->changedMs = nowMs;
        else
            board->missedPublication = before == kBoardLive && changing;
        bool stale = nowMs - board->changedMs >= settings->staleMs;
        // A block that vanished and came back belongs to a service that
        // started again, with counters counting from 0: what was counted
        // meanwhile is unknown.  A block cut short for a while and whole
        // again is the same service's.
        bool restarted = !first && before == kBoardGone;
        board->elapsedMs = first ? 0 : (uint32_t)(nowMs - board->recordMs);
        uint64_t needed = first ? 0 : BitsPerSecondNeeded(board, record);
        bool counted =
            !first && !restarted && StepCounters(board, record, settings->lanBitsPerSecond / 8);
        if (!first && !counted) {
            board->resets++;
            board->resetsInARow++;
            if (needed > board->neededBitsPerSecond)
                board->neededBitsPerSecond = needed;
        } else if (!first && !unchanged) {
            // A record seen again tells nothing of the LAN speed: only a
            // step that fits ends a run of resets.
            board->resetsInARow = 0;
            board->neededBitsPerSecond = 0;
        }
        for (int i = 0; i < kLans; i++) {
            LanView *lan = &board->lan[i];
            const LanFields &field = kLanFields[i];
            if (!counted)
                lan->rxStep = lan->txStep = lan->errStep = 0;
            lan->rxTotal += lan->rxStep;
            lan->txTotal += lan->txStep;
            lan->errTotal += lan->errStep;
            // A link seen again after a gap has been so since then, as far
            // as is known.
            uint8_t linkStatus = record->*field.linkStatus;
            if (first || restarted || linkStatus != lan->linkStatus) {
                lan->linkChangeSeen = !first && !restarted;
                lan->linkChangedMs = nowMs;
            }
            lan->rxGoodOctets = (uint32_t)(record->*field.rxGoodOctets);
            lan->txOctets = (uint32_t)(record->*field.txOctets);
            lan->rxErr = (uint32_t)(record->*field.rxErr);
            lan->linkStatus = linkStatus;
        }
        board->record = *record;
        board->recordMs = nowMs;
        board->sampled = true;
        board->state = stale ? kBoardStale : kBoardLive;
        // A rate needs two live samples in a row, whole publishing periods
        // apart: after a gap, a stale spell or a reset, or across a
        // publication that may have been missed, the difference spans an
        // unknown time.
        board->stepped = counted && before == kBoardLive && !stale &&
                         WholePeriods(board->elapsedMs) && !board->missedPublication;
        const LanView *a = &board->lan[kLanA], *b = &board->lan[kLanB];
        board->rxDivergence = DivergenceTenths(a->rxStep, b->rxStep);
        board->txDivergence = DivergenceTenths(a->txStep, b->txStep);
    }
}

uint64_t SpeedNeeded(const BoardView *board, const ViewSettings *settings) {
    static const uint64_t kSpeeds[] = {100000000ull, 1000000000ull, 10000000000ull,
                                       100000000000ull};
    if (board->resetsInARow < kResetsForTooSlow)
        return 0;
    for (uint64_t speed : kSpeeds)
        if (speed > settings->lanBitsPerSecond && speed >= board->neededBitsPerSecond)
            return speed;
    return 0;
}
