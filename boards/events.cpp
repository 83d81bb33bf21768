#include "events.h"

static bool Current(BoardState state) { return HasRecord(state) && state != kBoardShort; }

int NoteEvents(EventMemory *memory, const Board *board, uint64_t nowMs, BoardEvent *events) {
    int count = 0;
    auto note = [&](uint64_t ms, EventKind kind, EventWeight weight) -> BoardEvent * {
        if (!memory->seen || count == kMostBoardEvents) // the first round: how it is, no change
            return nullptr;
        BoardEvent *event = &events[count++];
        *event = BoardEvent{ms, board->boardIndex, board->name, kind, weight, 0,
                            board->state, -1, kRxOctets, 0, false};
        return event;
    };
    bool current = Current(board->state), wasCurrent = Current(memory->state);
    if (board->state != memory->state) {
        if (current && !wasCurrent) {
            BoardEvent *back = note(nowMs, kEventBack, kEventNews);
            if (back != nullptr)
                back->tenths = (int64_t)(nowMs - memory->stateSinceMs) / 100;
        }
        if (board->state != kBoardLive || wasCurrent)
            note(nowMs, kEventState, board->state == kBoardLive ? kEventNews : kEventWarning);
        memory->stateSinceMs = nowMs;
    }
    // A link lost and back, in a record that went on (not across a block
    // gone and back, whose links start afresh).  How long it was down is
    // said only where its loss was seen.
    for (int lan = 0; lan < kLans && current && wasCurrent; lan++) {
        const Lan &l = board->lan[lan];
        bool lost = l.linkLosses != memory->linkLosses[lan];
        BoardEvent *event;
        if (lost && (event = note(l.linkLostMs, kEventLinkDown, kEventWarning)) != nullptr)
            event->lan = (int8_t)lan;
        if (l.linkStatus != 0 && (lost || memory->linkStatus[lan] == 0) &&
            (event = note(l.linkChangedMs, kEventLinkUp, kEventNews)) != nullptr) {
            event->lan = (int8_t)lan;
            event->tenths = l.lossSeen ? (int64_t)l.lossPeriods * kPublishingPeriodMs / 100 : -1;
        }
    }
    for (uint32_t reset = memory->resets; reset < board->resets; reset++)
        note(nowMs, kEventReset, kEventWarning);
    // Beyond the mark and back, while LanA and LanB are compared: a link
    // lost stops the comparing, and says nothing of the mark.
    static const Counter kApart[2] = {kRxOctets, kTxOctets};
    static const TroubleKind kTrouble[2] = {kTroubleRxApart, kTroubleTxApart};
    for (int i = 0; i < 2; i++) {
        bool beyond = HasTrouble(board, kTrouble[i], 0);
        if (beyond == memory->beyond[i] || (!beyond && !RatesCompared(board, kApart[i])))
            continue;
        BoardEvent *event =
            note(nowMs, beyond ? kEventBeyond : kEventWithin, beyond ? kEventWarning : kEventNews);
        if (event != nullptr) {
            event->apart = kApart[i];
            event->tenths = beyond ? RateDivergence(board, kApart[i]) : -1;
        }
        memory->beyond[i] = beyond;
    }
    if (board->bitsPerSecond != memory->bitsPerSecond || board->tooFast != memory->tooFast) {
        BoardEvent *event = note(nowMs, kEventSpeed, kEventNotice);
        if (event != nullptr) {
            event->bitsPerSecond = board->bitsPerSecond;
            event->tooFast = board->tooFast;
        }
    }
    if (!memory->seen)
        memory->stateSinceMs = nowMs;
    memory->seen = true;
    memory->state = board->state;
    for (int lan = 0; lan < kLans; lan++) {
        memory->linkStatus[lan] = board->lan[lan].linkStatus;
        memory->linkLosses[lan] = board->lan[lan].linkLosses;
    }
    memory->resets = board->resets;
    memory->bitsPerSecond = board->bitsPerSecond;
    memory->tooFast = board->tooFast;
    return count;
}

// Events come a board at a time, each board's nearly in order: put in
// place one by one, those of the same moment kept as they came.
void SortEvents(BoardEvent *events, int count) {
    for (int i = 1; i < count; i++) {
        BoardEvent event = events[i];
        int at = i;
        for (; at > 0 && events[at - 1].ms > event.ms; at--)
            events[at] = events[at - 1];
        events[at] = event;
    }
}
