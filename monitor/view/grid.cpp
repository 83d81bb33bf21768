#include "grid.h"

#include <string.h>

static int Clip(int value, int most) { return value < 0 ? 0 : value < most ? value : most; }

void ClearGrid(Grid *grid, int rows, int columns) {
    grid->rows = Clip(rows, kGridRows);
    grid->columns = Clip(columns, kGridColumns);
    // One row blanked, then copied into the others.
    Cell *blank = grid->cells[0];
    for (int column = 0; column < grid->columns; column++)
        blank[column] = Cell{' ', kStylePlain, 0};
    for (int row = 0; row < grid->rows; row++) {
        if (row != 0)
            memcpy(grid->cells[row], blank, (size_t)grid->columns * sizeof(Cell));
        grid->ends[row] = 0;
    }
}

// The next code point of UTF-8 text; what is not a code point of the Basic
// Multilingual Plane in well-formed UTF-8 is taken byte by byte as '?'.
static uint16_t NextCharacter(const char **utf8) {
    const unsigned char *p = (const unsigned char *)*utf8;
    if (p[0] < 0x80) { // the most of what is shown
        *utf8 += 1;
        return p[0];
    }
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
    return '?';
}

int PutText(Grid *grid, int row, int column, const char *utf8, CellStyle style) {
    // The row and its width in locals: a store into a cell could otherwise
    // be taken to change them, and have them read again for every cell.
    bool onGrid = row >= 0 && row < grid->rows;
    int columns = onGrid ? grid->columns : 0;
    Cell *cells = grid->cells[onGrid ? row : 0];
    int start = column;
    for (; *utf8 != '\0'; column++) {
        uint16_t character = NextCharacter(&utf8);
        if (column >= 0 && column < columns)
            cells[column] = Cell{character, style, 0};
    }
    int end = column < columns ? column : columns; // after the last cell put, if any
    if (onGrid && end > start && end > grid->ends[row])
        grid->ends[row] = end;
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

static int Larger(int a, int b) { return a > b ? a : b; }

bool DrawDifferences(const Grid *next, Grid *shown, bool whole, Text *out) {
    whole = whole || next->rows != shown->rows || next->columns != shown->columns;
    if (whole)
        AppendText(out, "\033[0m\033[2J");
    int style = whole ? kStylePlain : -1; // unknown after the last flush
    for (int row = 0; row < next->rows; row++) {
        const Cell *cells = next->cells[row];
        const Cell *before = shown->cells[row];
        // Past its end a row is blank, as a cleared screen is.
        int end = whole ? next->ends[row] : Larger(next->ends[row], shown->ends[row]);
        if (!whole && memcmp(cells, before, (size_t)end * sizeof(Cell)) == 0)
            continue;
        int cursor = -1; // column the cursor is at, -1 when elsewhere
        for (int column = 0; column < end; column++) {
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
    for (int row = 0; row < next->rows; row++) {
        // Past both ends both rows are blank already.
        int end = whole ? next->columns : Larger(next->ends[row], shown->ends[row]);
        memcpy(shown->cells[row], next->cells[row], (size_t)end * sizeof(Cell));
        shown->ends[row] = next->ends[row];
    }
    shown->rows = next->rows;
    shown->columns = next->columns;
    return true;
}
