// Trouble as the screen holds it: a board stays in trouble for ten seconds
// after its trouble was last seen, so that the count of boards in trouble,
// t and the trouble order stand still while errors come and go; its
// heading names each trouble held with how long ago it was last seen.
// Held on the screen only: lines, JSON, metrics and events say the verdict
// of the round as it is.
#ifndef WATCHBOARDS_HELD_H
#define WATCHBOARDS_HELD_H

#include "show.h"

enum { kHeldMs = 10000 };

struct HeldTrouble {
    Trouble trouble;
    uint64_t seenMs;
    char words[40]; // as the verdict said it when last seen
};

// Heaviest first, as the round at roundMs held them.
struct HeldTroubles {
    int count;
    HeldTrouble held[kMostTroubles];
    uint64_t roundMs;
};

// Notes the board's verdict of the round at nowMs, and lets go of what was
// last seen longer ago than kHeldMs.
void HoldTroubles(HeldTroubles *held, const Board *board, uint64_t nowMs);

// The last minute of each graphed figure of each LAN, a second each, a
// ring: the oldest second at start.
enum { kHistorySeconds = 60 };
// In the history: a second whose figure is not known (a gap in the graph),
// and one from before the board was first seen.
const uint32_t kNoValue = UINT32_MAX;
const uint32_t kNotSeen = UINT32_MAX - 1;
struct GraphHistory {
    int start;
    uint32_t value[kGraphs][kLans][kHistorySeconds];
};

void StartGraphs(GraphHistory *history);

// Keeps the round's second of each graphed figure.
void KeepGraphs(GraphHistory *history, const Board *board, const FigureContext *context);

// A graphed figure of a LAN in a second of the last minute, from 0, the
// oldest, to kHistorySeconds - 1, the last round's.
inline uint32_t HistoryValue(const GraphHistory *history, int graph, int lan, int second) {
    int at = history->start + second;
    return history->value[graph][lan][at < kHistorySeconds ? at : at - kHistorySeconds];
}

// A board as the screen shows it: its model, its trouble held and its
// graphs (null where there is no screen: its trouble now, no graphs).
struct ShownBoard {
    const Board *board;
    const HeldTroubles *held;
    const GraphHistory *history;
};

// The board's trouble to show: held, or now (made in *now).
const HeldTroubles *TroublesOf(const ShownBoard *board, uint64_t nowMs, HeldTroubles *now);

// Whether the board is in trouble as the screen shows it: held, or now.
bool ShownInTrouble(const ShownBoard *board, uint64_t nowMs);

// The boards to show, of those given: all of them or those in trouble, by
// board or the worst trouble first.  Returns how many.
int ListShown(ShownBoard *list, const ShownBoard *boards, int count, bool troubleOnly,
              bool troubleOrder, uint64_t nowMs);

// A trouble as the screen says it: "LanB down", or one not seen at the last
// round with how long ago it was, "LanA 5 err/s · 4 s ago".
void AppendHeld(Text *text, const HeldTroubles *troubles, int i);

#endif
