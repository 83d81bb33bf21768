// The terminal screen of WatchBoards, laid out from the model into a grid:
// a header, a block for each board (board_block.h), a footer.  A screen too
// small for every board drops the graphs first, then shows the boards that
// fit from firstBoard on.  Laid out whole each time: only the grid's
// drawing (grid.h) looks at what the terminal shows already.
#ifndef WATCHBOARDS_LAYOUT_H
#define WATCHBOARDS_LAYOUT_H

#include "figures.h"
#include "grid.h"

// The smallest screen that shows a board: the header, a board's block
// without graphs, the footer.
enum { kMinimumColumns = kMarkColumn + 1 };
int MinimumRows(void);

// What the footer says besides the keys: the last board whose counters grew
// faster than its LAN speed allowed, and the speed taken for it (0: nothing
// to say), or none fast enough.
struct ScreenNotice {
    int32_t board;
    uint64_t bitsPerSecond;
    bool tooFast;
};

// What the screen shows besides the boards' figures.
struct Screen {
    int count;      // boards in the list to show
    int firstBoard; // the first shown, when not all fit
    int watched;    // boards watched in all: the list may hold only those in trouble
    bool troubleOnly;
    bool keys; // the keys, one a line, instead of the boards
    ScreenNotice notice;
};

// How many boards a screen of the grid's size shows from firstBoard on.
int BoardsShown(const Grid *grid, int count, const ViewSettings *settings);

// Lays out the screen into grid, whose size is set: the boards of the
// list, shown as screen says.
void LayOutScreen(const BoardView *const *boards, const Screen *screen,
                  const FigureContext *context, Grid *grid);

#endif
