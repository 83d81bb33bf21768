// A board on one line: its number, its trouble or its state, each LAN's
// link, receive rates, how far apart they are, errors a second and link
// losses, within 80 columns; with room to spare its transmit rates and how
// long each link was down.  The screen's view of many boards, and the
// table printed where no screen can be drawn.  Its columns are the rows of
// the screen's figures that have a heading (show.h).
#ifndef WATCHBOARDS_BOARD_LINE_H
#define WATCHBOARDS_BOARD_LINE_H

#include "grid.h"
#include "held.h"

// The columns a line's essentials take.
enum { kLineColumns = 80 };

// The longest of the boards' names, in characters: a column as wide as it
// where there is room (0: none).
int LongestName(const ShownBoard *boards, int count);

// The columns' headings on the row.
void PutLineHeadings(Grid *grid, int row, int longestName);

// The board's line on the row, as wide as the grid.
void PutBoardLine(Grid *grid, int row, const ShownBoard *board, const FigureContext *context,
                  const ViewSettings *view, int longestName);

#endif
