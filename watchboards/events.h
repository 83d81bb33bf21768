// What happened, as WatchBoards sees it happen: a line for each change of a
// board, written once a round for what the round found changed since the
// round before: a link lost and back, the board's state, a reset, LanA and
// LanB going apart beyond the mark and back, a speed taken.
#ifndef WATCHBOARDS_EVENTS_H
#define WATCHBOARDS_EVENTS_H

#include "figures.h"
#include "lines.h"

// What a board's events were told from: the board as the round before
// found it.
struct BoardEvents {
    bool seen; // a round has found the board
    BoardState state;
    uint64_t stateSinceMs;
    uint8_t linkStatus[kLans];
    uint32_t linkLosses[kLans];
    uint32_t resets;
    bool beyond[2]; // rx, tx
    uint64_t bitsPerSecond;
    bool tooFast;
};

// How a line is marked for the journal: not at all, or with the priority
// journald reads ("<4>" a warning, "<5>" a notice, "<6>" news).
enum EventsFor { kForReaders, kForJournal };

// The events of the board since the round before, a line each.  nowMs on
// the monotonic clock is wallMs on the wall clock (milliseconds since
// 1970), to tell when each happened.
void AppendEvents(Text *text, BoardEvents *events, const BoardView *board,
                  const FigureContext *context, uint64_t wallMs, LineFormat format,
                  EventsFor reader);

#endif
