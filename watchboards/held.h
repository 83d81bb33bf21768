// Trouble as the screen holds it: a board stays in trouble for ten seconds
// after its trouble was last seen, so that the count of boards in trouble,
// t and the trouble order stand still while errors come and go; its
// heading names each trouble held with how long ago it was last seen.
// Held on the screen only: lines, JSON and metrics say what is now.
#ifndef WATCHBOARDS_HELD_H
#define WATCHBOARDS_HELD_H

#include "figures.h"

enum { kHeldMs = 10000 };

struct HeldTrouble {
    const Figure *figure;
    int lan;
    uint64_t seenMs;
    char words[40]; // as the heading said it when last seen
};

// Heaviest first, as the round at roundMs held them.
struct HeldTroubles {
    int count;
    HeldTrouble trouble[kMostTroubles];
    uint64_t roundMs;
};

// Notes the board's trouble at the round at context->nowMs, and lets go of
// what was last seen longer ago than kHeldMs.
void HoldTroubles(HeldTroubles *held, const BoardView *board, const FigureContext *context);

// A board as the screen shows it: its model, and its trouble held (null:
// its trouble now, and nothing held).
struct ShownBoard {
    const BoardView *view;
    const HeldTroubles *held;
};

// Whether the board is in trouble as the screen shows it: held, or now.
bool ShownInTrouble(const ShownBoard *board, const FigureContext *context);

// The boards to show, of those given: all of them or those in trouble, by
// board or the worst trouble first.  Returns how many.
int ListShown(ShownBoard *list, const ShownBoard *boards, int count, bool troubleOnly,
              bool troubleOrder, const FigureContext *context);

// The board's trouble to show: held, or now (made in *now).
const HeldTroubles *TroublesOf(const ShownBoard *board, const FigureContext *context,
                               HeldTroubles *now);

// A trouble as the screen says it: "LanB down", or one not seen at the last
// round with how long ago it was, "LanA 5 err/s · 4 s ago".
void AppendTrouble(Text *text, const HeldTroubles *troubles, int i);

#endif
