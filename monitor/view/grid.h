// The screen as a grid of cells, and the VT sequences that bring a terminal
// showing one grid to show another: only the cells that differ are
// rewritten.  The same sequences serve Linux terminals and Windows 10+
// consoles.
#ifndef VIEW_GRID_H
#define VIEW_GRID_H

#include <stdint.h>

#include "text.h"

// A terminal larger than this shows the grid in its top left corner.
enum { kGridRows = 128, kGridColumns = 256 };

enum CellStyle : uint8_t { kStylePlain, kStyleBold, kStyleDim, kStyleMark };

struct Cell {
    uint16_t character; // a code point of the Basic Multilingual Plane
    uint8_t style;
    uint8_t unused; // no padding: rows are compared whole
};

struct Grid {
    int rows, columns;
    Cell cells[kGridRows][kGridColumns];
};

// Sets the size (clipped to the grid's) and blanks every cell.
void ClearGrid(Grid *grid, int rows, int columns);

// Puts UTF-8 text at row, column, clipped at the right edge; returns the
// column after it.
int PutText(Grid *grid, int row, int column, const char *utf8, CellStyle style);
void PutCharacter(Grid *grid, int row, int column, uint16_t character, CellStyle style);

// The grid as lines of UTF-8 text, blanks at their ends left out, each
// ending in "\n"; styles are not shown.
void GridAsText(const Grid *grid, Text *text);

// Appends to out what turns a terminal showing *shown into one showing
// *next (all of it when whole), and makes *shown a copy of *next.  Returns
// false when out is too small for it; then shown is left as it was.
bool DrawDifferences(const Grid *next, Grid *shown, bool whole, Text *out);

#endif
