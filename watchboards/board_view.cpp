#include "board_view.h"

#include <string.h>

#include "counter_step.h"

void StartBoardView(BoardView *board, int32_t boardIndex) {
    memset(board, 0, sizeof *board);
    board->boardIndex = boardIndex;
    board->state = kBoardGone;
    for (LanView &lan : board->lan)
        for (uint32_t &rate : lan.history)
            rate = kNotSeen;
}

uint64_t PerSecond(uint32_t step, uint32_t elapsedMs) {
    return elapsedMs == 0 ? step : (uint64_t)step * 1000 / elapsedMs;
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

// Counts what each counter counted since the last record; false when one
// of them went back.  errorsCounted tells which error counters did not.
static bool StepCounters(BoardView *board, const PrpValue *record, uint64_t octetsPerSecond,
                         bool errorsCounted[kLans]) {
    bool whole = true;
    for (int i = 0; i < kLans; i++) {
        LanView *lan = &board->lan[i];
        const LanFields &field = kLanFields[i];
        whole &= CounterStep(lan->rxGoodOctets, (uint32_t)(record->*field.rxGoodOctets),
                             board->elapsedMs, octetsPerSecond, &lan->rxStep);
        whole &= CounterStep(lan->txOctets, (uint32_t)(record->*field.txOctets), board->elapsedMs,
                             octetsPerSecond, &lan->txStep);
        errorsCounted[i] =
            CounterStep(lan->rxErr, (uint32_t)(record->*field.rxErr), board->elapsedMs,
                        octetsPerSecond / kSmallestFrameOctets, &lan->errStep);
        whole &= errorsCounted[i];
    }
    return whole;
}

void TakeSample(BoardView *board, BlockState state, const PrpValue *record, uint64_t nowMs,
                const ViewSettings *settings) {
    BoardState before = board->state;
    board->elapsedMs = board->sampled ? (uint32_t)(nowMs - board->sampledMs) : 0;
    board->sampledMs = nowMs;
    board->stepped = false;

    if (state != kBlockWhole) {
        board->state = state == kBlockShort ? kBoardShort : kBoardGone;
    } else {
        bool first = !board->sampled;
        if (first || memcmp(&board->record, record, sizeof *record) != 0)
            board->changedMs = nowMs;
        bool stale = nowMs - board->changedMs >= settings->staleMs;
        // A block that vanished and came back belongs to a service that
        // started again, with counters counting from 0.
        bool restarted = before == kBoardGone || before == kBoardShort;
        bool errorsCounted[kLans] = {false, false};
        bool counted = !first &&
                       StepCounters(board, record, settings->lanBitsPerSecond / 8, errorsCounted) &&
                       !restarted;
        if (!first && !counted)
            board->resets++;
        for (int i = 0; i < kLans; i++) {
            LanView *lan = &board->lan[i];
            const LanFields &field = kLanFields[i];
            uint8_t linkStatus = record->*field.linkStatus;
            if (first || linkStatus != lan->linkStatus) {
                lan->linkChangeSeen = !first;
                lan->linkChangedMs = nowMs;
            }
            // Errors counted since a reset are what the counter holds.
            if (!first)
                lan->errorsSinceStart += errorsCounted[i] && !restarted
                                             ? lan->errStep
                                             : (uint32_t)(record->*field.rxErr);
            lan->rxGoodOctets = (uint32_t)(record->*field.rxGoodOctets);
            lan->txOctets = (uint32_t)(record->*field.txOctets);
            lan->rxErr = (uint32_t)(record->*field.rxErr);
            lan->linkStatus = linkStatus;
        }
        board->record = *record;
        board->sampled = true;
        board->state = stale ? kBoardStale : kBoardLive;
        // A rate needs two live samples in a row: after a gap, a stale
        // spell or a reset the difference spans an unknown time.
        board->stepped = counted && before == kBoardLive && !stale;
        const LanView *a = &board->lan[kLanA], *b = &board->lan[kLanB];
        board->rxDivergence = DivergenceTenths(a->rxStep, b->rxStep);
        board->txDivergence = DivergenceTenths(a->txStep, b->txStep);
    }

    // The oldest second makes room for this one.
    int newest = board->historyStart;
    board->historyStart = newest + 1 < kHistorySeconds ? newest + 1 : 0;
    for (LanView &lan : board->lan) {
        uint64_t rate = PerSecond(lan.rxStep, board->elapsedMs);
        uint32_t shown = rate < kNotSeen ? (uint32_t)rate : kNotSeen - 1;
        lan.history[newest] = board->stepped ? shown : kNoRate;
    }
}
