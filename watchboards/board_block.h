// A board's block on the screen: its heading (the board, its trouble or its
// state, the resets seen), then a row for each row of figures (LanA beside
// LanB, the board's own figures in the A−B column), then the graphs of the
// last minute.  Laid out from the table of figures alone.
#ifndef WATCHBOARDS_BOARD_BLOCK_H
#define WATCHBOARDS_BOARD_BLOCK_H

#include "grid.h"
#include "held.h"

// The rows a board's block takes, with its graphs or without, and its
// columns.
int BlockRows(bool graphs);
int BlockColumns(bool graphs);

// A graph: its label ("rx A "), one column a second, then its scale.
enum { kGraphColumn = 5, kGraphEnd = kGraphColumn + kHistorySeconds, kScaleColumn = kGraphEnd + 1 };

// The block's headings above the LAN columns ("LanA", "LanB", "A−B"), on
// the screen's first row.
void PutColumnHeadings(Grid *grid, int row, int column);

// Lays out the board's block with its top left corner at row, column, in
// room that many columns wide (its heading is cut there).
void PutBoardBlock(Grid *grid, int row, int column, int room, const ShownBoard *board,
                   const FigureContext *context, const ViewSettings *view, bool graphs);

// Characters, not bytes, of UTF-8 text.
int Width(const char *utf8);

#endif
