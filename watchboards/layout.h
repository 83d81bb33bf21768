// The terminal screen of WatchBoards, laid out from the model into a grid:
// a header, a block for each board (its heading, LanA beside LanB: link,
// rates, errors, then a graph of each LAN's receive rate over the last
// minute), a footer.  A screen too small for every board drops the graphs
// first, then shows the boards that fit from firstBoard on.  Trouble shows
// in colour, and in the board's heading.
#ifndef WATCHBOARDS_LAYOUT_H
#define WATCHBOARDS_LAYOUT_H

#include "board_view.h"
#include "grid.h"

// The smallest screen that shows a board.
enum { kMinimumColumns = 40, kMinimumRows = 8 };

// What the footer says besides the keys: a board whose counters grow
// faster than the LAN speed given allows, and the speed that would carry
// them (0: nothing to say).
struct ScreenNotice {
    int32_t board;
    uint64_t speedNeeded;
};

// What the screen shows besides the boards' figures; with the grid's size,
// all its frame (the header, each board's row labels, the footer) depends
// on.  Made with MakeScreenFrame, so that two can be compared byte for byte.
struct ScreenFrame {
    int count;      // boards in the list to show
    int firstBoard; // the first shown, when not all fit
    int watched;    // boards watched in all: the list may hold only those in trouble
    bool troubleOnly;
    bool keys; // the keys, one a line, instead of the boards
    ScreenNotice notice;
    ViewSettings settings;
};

ScreenFrame MakeScreenFrame(int count, int firstBoard, int watched, bool troubleOnly, bool keys,
                            ScreenNotice notice, const ViewSettings *settings);

// How many boards a screen of the grid's size shows from firstBoard on.
int BoardsShown(const Grid *grid, int count, const ViewSettings *settings);

// Lays out the screen into grid, whose size is set: the boards of the
// list, shown as frame says.
void LayOutScreen(const BoardView *const *boards, const ScreenFrame *frame, uint64_t nowMs,
                  Grid *grid);

enum { kSlotBoards = 320, kSlotsPerBoard = 24 };

// LayOutScreen for a screen laid out once a second into the same grid: its
// frame is kept, and laid out again only when it changes; on it, what
// changes is put in place, what it covered no more blanked.
struct ScreenLayout {
    bool framed;
    ScreenFrame shown;
    Grid frame;
    int troubleColumn; // of the footer's room for the boards in trouble out of view
    // How wide what each place of a shown board holds is: its heading, its
    // graphs' scale, then two for each figure.
    int widths[kSlotBoards][kSlotsPerBoard];
};

void LayOutScreenAgain(ScreenLayout *layout, const BoardView *const *boards,
                       const ScreenFrame *frame, uint64_t nowMs, Grid *grid);

#endif
