// The screen as a grid of cells, and the VT sequences that bring a terminal
// showing one grid to show another: only the cells that differ are
// rewritten.  The same sequences serve Linux terminals and Windows 10+
// consoles.
#ifndef WATCHBOARDS_GRID_H
#define WATCHBOARDS_GRID_H

#include <stdint.h>

#include "text.h"

// What the screen is opened and left with: the alternate screen and no
// cursor, then the plain style, the cursor and the screen as they were.
const char kEnterScreen[] = "\033[?1049h\033[?25l";
const char kLeaveScreen[] = "\033[0m\033[?25h\033[?1049l";

// A grid is as large as the terminal, up to this (a terminal larger still
// shows the grid in its top left corner).
enum { kMostGridRows = 2000, kMostGridColumns = 2000 };

// Trouble shows in colour, red for an alarm, yellow for a warning; where
// there is no colour, alarms are marked as kStyleMark is.
enum CellStyle : uint8_t { kStylePlain, kStyleBold, kStyleDim, kStyleMark, kStyleAlarm, kStyleWarning };

// What the terminal can show: colours, and characters beyond ASCII (UTF-8).
// Without them the same grid is drawn in reverse video and ASCII.
struct TerminalAbilities {
    bool colour;
    bool utf8;
};

// What a terminal can show, from its environment: TERM (a screen needs one
// that addresses the cursor: false for none, or "dumb"), NO_COLOR (set and
// not empty: no colour) and the locale's name (UTF-8 or not).
bool AbilitiesOf(const char *term, const char *noColour, const char *locale,
                 TerminalAbilities *abilities);

// Whether NO_COLOR, as found in the environment, leaves colour on.
inline bool ColourAllowed(const char *noColour) {
    return noColour == nullptr || noColour[0] == '\0';
}

// A cell: the code point of a character of the Basic Multilingual Plane
// in the low 16 bits, its style above them.  One word, so that a cell is
// put, compared and copied whole.
typedef uint32_t Cell;

inline Cell MakeCell(uint16_t character, CellStyle style) { return (Cell)style << 16 | character; }
inline uint16_t CellCharacter(Cell cell) { return (uint16_t)cell; }
inline CellStyle StyleOfCell(Cell cell) { return (CellStyle)(cell >> 16); }

const Cell kBlank = ' '; // a plain blank

// A row holds its cells up to its end; past the end it is blank, whatever
// the cells there hold.  So clearing a grid is setting every end to 0, and
// only what lies before the ends is ever compared or copied.  The cells are
// allocated as the size needs them (a grid starts empty, all 0).
struct Grid {
    int rows, columns;
    int *ends;   // of each row
    Cell *cells; // row after row, columns cells each
    size_t roomCells;
    int roomRows;
};

inline Cell *RowOf(const Grid *grid, int row) {
    return grid->cells + (size_t)row * (size_t)grid->columns;
}

// Sets the size (clipped to kMostGridRows and kMostGridColumns) and blanks
// every cell.
void ClearGrid(Grid *grid, int rows, int columns);

// Puts UTF-8 text at row, column, clipped before the column end; returns
// the column after it.
int PutTextBefore(Grid *grid, int row, int column, int end, const char *utf8, CellStyle style);
// The same, clipped at the right edge.
inline int PutText(Grid *grid, int row, int column, const char *utf8, CellStyle style) {
    return PutTextBefore(grid, row, column, grid->columns, utf8, style);
}
void PutCharacter(Grid *grid, int row, int column, uint16_t character, CellStyle style);

// The grid as lines of UTF-8 text (of ASCII, without utf8), blanks at their
// ends left out, each ending in "\n"; styles are not shown.
void GridAsText(const Grid *grid, bool utf8, Text *text);
inline void GridAsText(const Grid *grid, Text *text) { GridAsText(grid, true, text); }

// Appends to out what turns a terminal showing *shown into one showing
// *next (all of it when whole, or when shown has another size), and makes
// *shown a copy of *next.  Returns false when out is too small for it: then
// what the terminal shows is unknown, and the next draw must be whole.
bool DrawDifferences(const Grid *next, Grid *shown, bool whole, TerminalAbilities abilities,
                     Text *out);

// The grid's text as a terminal without UTF-8 shows it: every character
// beyond ASCII as its ASCII stand-in ('−' as '-', a bar as one of "_-:=+*#@").
uint16_t AsciiOf(uint16_t character);

#endif
