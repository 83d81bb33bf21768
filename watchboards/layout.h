// The terminal screen of WatchBoards, laid out from the model into a grid:
// a header, a block for each board (LanA beside LanB: link, rates, errors,
// then a graph of each LAN's receive rate over the last minute), a footer
// with the keys.  A screen too small for every board drops the graphs
// first, then shows the boards that fit from firstBoard on.
#ifndef WATCHBOARDS_LAYOUT_H
#define WATCHBOARDS_LAYOUT_H

#include "board_view.h"
#include "grid.h"

// The smallest screen that shows a board.
enum { kMinimumColumns = 40, kMinimumRows = 8 };

// How many boards a screen of the grid's size shows from firstBoard on.
int BoardsShown(const Grid *grid, int count, const ViewSettings *settings);

// What the footer says besides the keys: a board whose counters grow
// faster than the LAN speed given allows, and the speed that would carry
// them (0: nothing to say).
struct ScreenNotice {
    int32_t board;
    uint64_t speedNeeded;
};

// Lays out the screen into grid, whose size is set.  firstBoard is the
// first board shown when not all of them fit.
void LayOutScreen(const BoardView *boards, int count, int firstBoard, const ViewSettings *settings,
                  ScreenNotice notice, uint64_t nowMs, Grid *grid);

// LayOutScreen for a screen laid out once a second.  Its frame (the header,
// each board's row labels, the footer) depends only on the size, the
// boards shown and the settings: it is kept, and laid out again only when
// one of those changes.
struct ScreenLayout {
    bool framed;
    int count, firstBoard;
    ViewSettings settings;
    ScreenNotice notice;
    Grid frame;
};

void LayOutScreenAgain(ScreenLayout *layout, const BoardView *boards, int count, int firstBoard,
                       const ViewSettings *settings, ScreenNotice notice, uint64_t nowMs,
                       Grid *grid);

#endif
