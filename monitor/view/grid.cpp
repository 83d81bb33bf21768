#include "grid.h"

#include <string.h>

void ClearGrid(Grid *grid, int rows, int columns) {
    grid->rows = rows < kGridRows ? rows : kGridRows;
    grid->columns = columns < kGridColumns ? columns : kGridColumns;
    for (int row = 0; row < grid->rows; row++)
        for (int column = 0; column < grid->columns; column++)
            grid->cells[row][column] = Cell{' ', kStylePlain, 0};
}

void PutCharacter(Grid *grid, int row, int column, uint16_t character, CellStyle style) {
    if (row >= 0 && row < grid->rows && column >= 0 && column < grid->columns)
        grid->cells[row][column] = Cell{character, style, 0};
}

// The next code point of UTF-8 text; what is not a code point of the Basic
// Multilingual Plane in well-formed UTF-8 is taken byte by byte as '?'.
static uint16_t NextCharacter(const char **utf8) {
    const unsigned char *p = (const unsigned char *)*utf8;
    if (p[0] >= 0xc2 && p[0] < 0xe0 && (p[1] & 0xc0) == 0x80) {
        *utf8 += 2;
        return (uint16_t)((p[0] & 0x1f) << 6 | (p[1] & 0x3f));
    }
    if (p[0] >= 0xe0 && p[0] < 0xf0 && (p[1] & 0xc0) == 0x80 && (p[2] & 0xc0) == 0x80) {
        *utf8 += 3;
        uint16_t c = (uint16_t)((p[0] & 0x0f) << 12 | (p[1] & 0x3f) << 6 | (p[2] & 0x3f));
        return c >= 0x800 && (c < 0xd800 || c > 0xdfff) ? c : '?';
    }
    *utf8 += 1;
    return p[0] < 0x80 ? p[0] : '?';
}

int PutText(Grid *grid, int row, int column, const char *utf8, CellStyle style) {
    while (*utf8 != '\0')
        PutCharacter(grid, row, column++, NextCharacter(&utf8), style);
    return column;
}

static void AppendUtf8(Text *text, uint16_t c) {
    char bytes[3];
    if (c < 0x80) {
        AppendChar(text, (char)c);
    } else if (c < 0x800) {
        bytes[0] = (char)(0xc0 | c >> 6);
        bytes[1] = (char)(0x80 | (c & 0x3f));
        AppendChars(text, bytes, 2);
    } else {
        bytes[0] = (char)(0xe0 | c >> 12);
        bytes[1] = (char)(0x80 | (c >> 6 & 0x3f));
        bytes[2] = (char)(0x80 | (c & 0x3f));
        AppendChars(text, bytes, 3);
    }
}

void GridAsText(const Grid *grid, Text *text) {
    for (int row = 0; row < grid->rows; row++) {
        int end = grid->columns;
        while (end > 0 && grid->cells[row][end - 1].character == ' ')
            end--;
        for (int column = 0; column < end; column++)
            AppendUtf8(text, grid->cells[row][column].character);
        AppendChar(text, '\n');
    }
}

// Select Graphic Rendition for each style: all attributes off, then the
// style's own.
static const char *const kStyleSequences[] = {
    "\033[0m",
    "\033[0;1m",
    "\033[0;2m",
    "\033[0;1;7m",
};

static bool SameCell(Cell a, Cell b) { return a.character == b.character && a.style == b.style; }

bool DrawDifferences(const Grid *next, Grid *shown, bool whole, Text *out) {
    if (whole)
        AppendText(out, "\033[0m\033[2J");
    int style = whole ? kStylePlain : -1; // unknown after the last flush
    for (int row = 0; row < next->rows; row++) {
        const Cell *cells = next->cells[row];
        const Cell *before = shown->cells[row];
        size_t width = (size_t)next->columns * sizeof(Cell);
        if (!whole && memcmp(cells, before, width) == 0)
            continue;
        int cursor = -1; // column the cursor is at, -1 when elsewhere
        for (int column = 0; column < next->columns; column++) {
            if (!whole && SameCell(cells[column], before[column]))
                continue;
            if (whole && cells[column].character == ' ' && cells[column].style == kStylePlain)
                continue; // the screen was cleared
            if (cursor != column) {
                AppendText(out, "\033[");
                AppendUnsigned(out, (uint64_t)row + 1);
                AppendChar(out, ';');
                AppendUnsigned(out, (uint64_t)column + 1);
                AppendChar(out, 'H');
            }
            if (cells[column].style != style) {
                style = cells[column].style;
                AppendText(out, kStyleSequences[style]);
            }
            AppendUtf8(out, cells[column].character);
            cursor = column + 1;
        }
    }
    if (style != kStylePlain && style != -1)
        AppendText(out, kStyleSequences[kStylePlain]);
    if (out->length + 1 >= out->size)
        return false;
    shown->rows = next->rows;
    shown->columns = next->columns;
    for (int row = 0; row < next->rows; row++)
        memcpy(shown->cells[row], next->cells[row], (size_t)next->columns * sizeof(Cell));
    return true;
}
