#include "grid.h"

#include <string.h>

static int Clip(int value, int most) { return value < 0 ? 0 : value < most ? value : most; }

void ClearGrid(Grid *grid, int rows, int columns) {
    grid->rows = Clip(rows, kGridRows);
    grid->columns = Clip(columns, kGridColumns);
    for (int row = 0; row < grid->rows; row++)
        grid->ends[row] = 0;
}

void CopyGrid(const Grid *from, Grid *to) {
    to->rows = from->rows;
    to->columns = from->columns;
    for (int row = 0; row < from->rows; row++) {
        to->ends[row] = from->ends[row];
        memcpy(to->cells[row], from->cells[row], (size_t)from->ends[row] * sizeof(Cell));
    }
}

// Makes the row's end reach column at least, with blanks up to it.
static void Reach(Grid *grid, int row, int column) {
    int end = grid->ends[row];
    if (end >= column)
        return;
    Cell *cells = grid->cells[row];
    for (; end < column; end++)
        cells[end] = kBlank;
    grid->ends[row] = column;
}

void PutCharacter(Grid *grid, int row, int column, uint16_t character, CellStyle style) {
    if (row < 0 || row >= grid->rows || column < 0 || column >= grid->columns)
        return;
    Reach(grid, row, column + 1);
    grid->cells[row][column] = MakeCell(character, style);
}

// The next code point of UTF-8 text; what is not a code point of the Basic
// Multilingual Plane in well-formed UTF-8 is taken byte by byte as '?'.
static uint16_t NextCharacter(const char **utf8) {
    const unsigned char *p = (const unsigned char *)*utf8;
    if (__builtin_expect(p[0] < 0x80, 1)) { // the most of what is shown
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
    bool onGrid = row >= 0 && row < grid->rows;
    int columns = onGrid ? grid->columns : 0;
    for (; *utf8 != '\0' && column < 0; column++) // left of the grid
        NextCharacter(&utf8);
    if (*utf8 != '\0' && column < columns) {
        Reach(grid, row, column);
        // The row in a local: a store into a cell could otherwise be taken
        // to change the grid's size, and have it read again for every cell.
        Cell *cells = grid->cells[row];
        for (; *utf8 != '\0' && column < columns; column++)
            cells[column] = MakeCell(NextCharacter(&utf8), style);
        if (column > grid->ends[row])
            grid->ends[row] = column;
    }
    for (; *utf8 != '\0'; column++) // right of it
        NextCharacter(&utf8);
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
        int end = grid->ends[row];
        while (end > 0 && CellCharacter(grid->cells[row][end - 1]) == ' ')
            end--;
        for (int column = 0; column < end; column++)
            AppendUtf8(text, CellCharacter(grid->cells[row][column]));
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

// The cell at column of row, where the cursor is at column *cursor (-1 when
// not on the row) and the style *style (-1 when unknown).
static void DrawCell(Text *out, int row, int column, Cell cell, int *cursor, int *style) {
    if (*cursor != column) {
        AppendText(out, "\033[");
        AppendUnsigned(out, (uint64_t)row + 1);
        AppendChar(out, ';');
        AppendUnsigned(out, (uint64_t)column + 1);
        AppendChar(out, 'H');
    }
    if (StyleOfCell(cell) != *style) {
        *style = StyleOfCell(cell);
        AppendText(out, kStyleSequences[*style]);
    }
    AppendUtf8(out, CellCharacter(cell));
    *cursor = column + 1;
}

// The first column from column on where the rows differ, or end.  Most
// cells are as they were: they are passed over four at a time.
static int FirstDifference(const Cell *next, const Cell *shown, int column, int end) {
    while (column + 4 <= end && memcmp(&next[column], &shown[column], 4 * sizeof(Cell)) == 0)
        column += 4;
    while (column < end && next[column] == shown[column])
        column++;
    return column;
}

bool DrawDifferences(const Grid *next, Grid *shown, bool whole, Text *out) {
    whole = whole || next->rows != shown->rows || next->columns != shown->columns;
    if (whole)
        AppendText(out, "\033[0m\033[2J");
    int style = whole ? kStylePlain : -1; // unknown after the last flush
    for (int row = 0; row < next->rows; row++) {
        const Cell *cells = next->cells[row];
        Cell *before = shown->cells[row];
        int end = next->ends[row];
        if (whole)
            shown->ends[row] = 0; // a cleared screen is blank
        else if (end == shown->ends[row] && memcmp(cells, before, (size_t)end * sizeof(Cell)) == 0)
            continue;
        // Compared up to the end of the longer row: past its end a row is blank.
        Reach(shown, row, end);
        int cursor = -1;
        int column = FirstDifference(cells, before, 0, end);
        for (; column < end; column = FirstDifference(cells, before, column + 1, end))
            DrawCell(out, row, column, cells[column], &cursor, &style);
        for (; column < shown->ends[row]; column++)
            if (before[column] != kBlank)
                DrawCell(out, row, column, kBlank, &cursor, &style);
        memcpy(before, cells, (size_t)end * sizeof(Cell));
        shown->ends[row] = end;
    }
    if (style != kStylePlain && style != -1)
        AppendText(out, kStyleSequences[kStylePlain]);
    shown->rows = next->rows;
    shown->columns = next->columns;
    return out->length + 1 < out->size;
}
