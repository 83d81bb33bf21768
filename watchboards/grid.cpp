#include "grid.h"

#include <stdlib.h>
#include <string.h>

static int Clip(int value, int most) { return value < 0 ? 0 : value < most ? value : most; }

// Gives the grid room for its size, which leaves what it holds unknown;
// without the memory for it, the grid has no cells.
static void Size(Grid *grid, int rows, int columns) {
    rows = Clip(rows, kMostGridRows);
    columns = Clip(columns, kMostGridColumns);
    size_t cells = (size_t)rows * (size_t)columns;
    if (cells > grid->roomCells || rows > grid->roomRows) {
        Cell *more = (Cell *)realloc(grid->cells, cells * sizeof(Cell));
        int *ends = (int *)realloc(grid->ends, (size_t)rows * sizeof(int));
        grid->cells = more != NULL ? more : grid->cells;
        grid->ends = ends != NULL ? ends : grid->ends;
        if (more == NULL || ends == NULL)
            rows = columns = 0;
        else
            grid->roomCells = cells, grid->roomRows = rows;
    }
    grid->rows = rows;
    grid->columns = columns;
}

void ClearGrid(Grid *grid, int rows, int columns) {
    Size(grid, rows, columns);
    for (int row = 0; row < grid->rows; row++)
        grid->ends[row] = 0;
}

// Makes the row's end reach column at least, with blanks up to it.
static void Reach(Grid *grid, int row, int column) {
    int end = grid->ends[row];
    if (end >= column)
        return;
    Cell *cells = RowOf(grid, row);
    for (; end < column; end++)
        cells[end] = kBlank;
    grid->ends[row] = column;
}

void PutCharacter(Grid *grid, int row, int column, uint16_t character, CellStyle style) {
    if (row < 0 || row >= grid->rows || column < 0 || column >= grid->columns)
        return;
    Reach(grid, row, column + 1);
    RowOf(grid, row)[column] = MakeCell(character, style);
}

// The next code point of UTF-8 text; what is not a code point of the Basic
// Multilingual Plane in well-formed UTF-8 is taken byte by byte as '?'.
static uint16_t NextCharacter(const char **utf8) {
    const unsigned char *p = (const unsigned char *)*utf8;
    if (p[0] < 0x80) {
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

int PutTextBefore(Grid *grid, int row, int column, int end, const char *utf8, CellStyle style) {
    bool onGrid = row >= 0 && row < grid->rows;
    int columns = !onGrid ? 0 : end < grid->columns ? end : grid->columns;
    for (; *utf8 != '\0' && column < 0; column++) // left of the grid
        NextCharacter(&utf8);
    if (*utf8 != '\0' && column < columns) {
        Reach(grid, row, column);
        Cell *cells = RowOf(grid, row);
        for (; *utf8 != '\0' && column < columns; column++)
            cells[column] = MakeCell((unsigned char)*utf8 < 0x80 ? (uint16_t)*utf8++
                                                                : NextCharacter(&utf8),
                                     style);
        if (column > grid->ends[row])
            grid->ends[row] = column;
    }
    for (; *utf8 != '\0'; column++) // right of it
        NextCharacter(&utf8);
    return column;
}

// A character in UTF-8, one to three bytes.
static char *PutUtf8(char *to, uint16_t c) {
    if (c < 0x80) {
        *to++ = (char)c;
    } else if (c < 0x800) {
        *to++ = (char)(0xc0 | c >> 6);
        *to++ = (char)(0x80 | (c & 0x3f));
    } else {
        *to++ = (char)(0xe0 | c >> 12);
        *to++ = (char)(0x80 | (c >> 6 & 0x3f));
        *to++ = (char)(0x80 | (c & 0x3f));
    }
    return to;
}

void GridAsText(const Grid *grid, bool utf8, Text *text) {
    for (int row = 0; row < grid->rows; row++) {
        const Cell *cells = RowOf(grid, row);
        int end = grid->ends[row];
        while (end > 0 && CellCharacter(cells[end - 1]) == ' ')
            end--;
        for (int column = 0; column < end; column++) {
            uint16_t c = CellCharacter(cells[column]);
            char bytes[3];
            AppendChars(text, bytes, (size_t)(PutUtf8(bytes, utf8 ? c : AsciiOf(c)) - bytes));
        }
        AppendChar(text, '\n');
    }
}

// Select Graphic Rendition for each style: all attributes off, then the
// style's own.
static const char *const kStyleSequences[] = {
    "\033[0m", "\033[0;1m", "\033[0;2m", "\033[0;1;7m", "\033[0;1;31m", "\033[0;33m",
};
// Where there is no colour: an alarm in reverse video, as the mark; a
// warning in bold.
static const char *const kStyleSequencesWithoutColour[] = {
    "\033[0m", "\033[0;1m", "\033[0;2m", "\033[0;1;7m", "\033[0;1;7m", "\033[0;1m",
};

static bool EndsWith(const char *text, const char *end) {
    size_t length = strlen(text), endLength = strlen(end);
    return length >= endLength && strcmp(text + length - endLength, end) == 0;
}

bool AbilitiesOf(const char *term, const char *noColour, const char *locale,
                 TerminalAbilities *abilities) {
    if (term == NULL || term[0] == '\0' || strcmp(term, "dumb") == 0)
        return false;
    // The DEC terminals and the monochrome entries have no colour.
    static const char *const kMonochrome[] = {"vt52", "vt100", "vt102", "vt220", "vt320"};
    bool monochrome = EndsWith(term, "-m") || EndsWith(term, "-mono");
    for (const char *name : kMonochrome)
        monochrome |= strcmp(term, name) == 0;
    abilities->colour = !monochrome && ColourAllowed(noColour);
    // "en_US.UTF-8", "C.utf8": the codeset after the point, in any case.
    char codeset[16] = "";
    const char *point = strchr(locale, '.');
    for (size_t i = 0; point != NULL && point[i + 1] != '\0' && point[i + 1] != '@' &&
                       i + 1 < sizeof codeset;
         i++)
        codeset[i] = (char)(point[i + 1] | 0x20); // lower case, for letters
    abilities->utf8 = strncmp(codeset, "utf-8", 5) == 0 || strncmp(codeset, "utf8", 4) == 0;
    return true;
}

uint16_t AsciiOf(uint16_t c) {
    if (c < 0x80)
        return c;
    if (c > 0x2580 && c <= 0x2588) // the bars, one to eight eighths high
        return (uint16_t)"_-:=+*#@"[c - 0x2581];
    switch (c) {
    case 0x2212: // '−'
        return '-';
    case 0x00b7: // '·'
        return '.';
    case 0x2191: // '↑'
        return '^';
    case 0x2193: // '↓'
        return 'v';
    }
    return '?';
}

// Whether the cursor, a few cells short of column, is better walked there
// over cells already shown (ASCII, in the style it writes in) than moved:
// fewer bytes for the terminal.
static bool Bridges(const Cell *cells, int cursor, int column, int style) {
    enum { kMostBridged = 4 };
    if (cells == nullptr || cursor < 0 || column - cursor > kMostBridged)
        return false;
    for (int i = cursor; i < column; i++)
        if (StyleOfCell(cells[i]) != style || CellCharacter(cells[i]) >= 0x80)
            return false;
    return true;
}

// The cell at column of row, where the cursor is at column *cursor (-1 when
// not on the row) and the style *style (-1 when unknown); cells, when not
// null, are the row as shown up to column.
static void DrawCell(Text *out, int row, int column, const Cell *cells, Cell cell, int *cursor,
                     int *style, TerminalAbilities abilities) {
    if (Bridges(cells, *cursor, column, *style)) {
        for (; *cursor < column; ++*cursor)
            AppendChar(out, (char)CellCharacter(cells[*cursor]));
    } else if (*cursor >= 0 && *cursor < column) { // forward on the row
        AppendText(out, "\033[");
        AppendUnsigned(out, (uint64_t)(column - *cursor));
        AppendChar(out, 'C');
    } else if (*cursor != column) {
        AppendText(out, "\033[");
        AppendUnsigned(out, (uint64_t)row + 1);
        AppendChar(out, ';');
        AppendUnsigned(out, (uint64_t)column + 1);
        AppendChar(out, 'H');
    }
    if (StyleOfCell(cell) != *style) {
        *style = StyleOfCell(cell);
        AppendText(out, (abilities.colour ? kStyleSequences : kStyleSequencesWithoutColour)[*style]);
    }
    uint16_t c = CellCharacter(cell);
    if (c < 0x80) {
        AppendChar(out, (char)c);
    } else {
        char bytes[3];
        AppendChars(out, bytes, (size_t)(PutUtf8(bytes, abilities.utf8 ? c : AsciiOf(c)) - bytes));
    }
    *cursor = column + 1;
}

// The first column from column on where the rows differ, end if none; the
// same cells are passed over four at a time.
static int NextDifferent(const Cell *a, const Cell *b, int column, int end) {
    for (uint64_t x[2], y[2]; column + 4 <= end; column += 4) {
        memcpy(x, a + column, sizeof x);
        memcpy(y, b + column, sizeof y);
        if (((x[0] ^ y[0]) | (x[1] ^ y[1])) != 0)
            break;
    }
    while (column < end && a[column] == b[column])
        column++;
    return column;
}

bool DrawDifferences(const Grid *next, Grid *shown, bool whole, TerminalAbilities abilities,
                     Text *out) {
    whole = whole || next->rows != shown->rows || next->columns != shown->columns;
    if (whole) {
        Size(shown, next->rows, next->columns);
        AppendText(out, "\033[0m\033[2J");
    }
    int style = whole ? kStylePlain : -1; // unknown after the last flush
    for (int row = 0; row < next->rows; row++) {
        const Cell *cells = RowOf(next, row);
        Cell *before = RowOf(shown, row);
        int end = next->ends[row];
        if (whole)
            shown->ends[row] = 0; // a cleared screen is blank
        else if (end == shown->ends[row] && memcmp(cells, before, (size_t)end * sizeof(Cell)) == 0)
            continue;
        // Compared up to the end of the longer row: past its end a row is blank.
        Reach(shown, row, end);
        int cursor = -1, column = 0;
        // A run of cells that differ takes one cursor move.
        for (; (column = NextDifferent(cells, before, column, end)) < end; column++)
            DrawCell(out, row, column, cells, cells[column], &cursor, &style, abilities);
        for (; column < shown->ends[row]; column++)
            if (before[column] != kBlank)
                DrawCell(out, row, column, nullptr, kBlank, &cursor, &style, abilities);
        memcpy(before, cells, (size_t)end * sizeof(Cell));
        shown->ends[row] = end;
    }
    if (style != kStylePlain && style != -1)
        AppendText(out, kStyleSequences[kStylePlain]);
    return out->length + 1 < out->size;
}
