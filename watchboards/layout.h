// The terminal screen of WatchBoards, laid out from the model into a grid:
// a header, the boards, a footer.  The boards are blocks (board_block.h),
// side by side as many as the width holds, filling across then down; where
// the blocks of all boards do not fit, or when asked, a line each
// (board_line.h).  Blocks drop their graphs before any board is left out.
// Laid out whole each time: only the grid's drawing (grid.h) looks at what
// the terminal shows already.
#ifndef WATCHBOARDS_LAYOUT_H
#define WATCHBOARDS_LAYOUT_H

#include "grid.h"
#include "held.h"

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

// Blocks or a line each: as the screen's room has it, or as asked (d).
enum BoardsAs { kAsFits, kAsBlocks, kAsLines };

// What the screen shows besides the boards' figures.
struct Screen {
    int count;      // boards in the list to show
    int firstBoard; // the first shown, when not all fit
    int watched;    // boards watched in all: the list may hold only those in trouble
    bool troubleOnly;
    bool troubleOrder; // the list in order of trouble, the worst first
    bool keys;         // the keys instead of the boards
    BoardsAs as;
    const char *goingTo; // the board's number typed so far to go to it; null when not
    ScreenNotice notice;
    const char *notThere; // the board typed is not in the list: "no board 99"; or null
};

// Where the boards go on a screen of the grid's size.
struct Placement {
    bool lines;  // a line each, else blocks
    bool graphs; // blocks with their graphs
    int across;  // blocks side by side
    int shown;   // boards shown from firstBoard on
};
Placement PlaceBoards(const Grid *grid, int count, BoardsAs as, const ViewSettings *view);

// Lays out the screen into grid, whose size is set: the boards of the
// list, shown as screen says.
void LayOutScreen(const ShownBoard *boards, const Screen *screen, const FigureContext *context,
                  const ViewSettings *view, Grid *grid);

#endif
