#include "board_line.h"

#include <string.h>

#include "board_block.h"

// A column of figures: its heading, the figure (its row's name) and LAN,
// how wide, and whether it is one of the essentials that fit 80 columns.
struct LineColumn {
    const char *heading;
    const char *figure;
    int lan;
    int width;
    bool essential;
};

static const LineColumn kColumns[] = {
    {"LanA", "linkStatus", kLanA, 4, true},      {"LanB", "linkStatus", kLanB, 4, true},
    {"rx A", "rxRate", kLanA, 7, true},          {"rx B", "rxRate", kLanB, 7, true},
    {"A\xe2\x88\x92" "B", "rxDivergence", 0, 5, true},
    {"err A", "err/s", kLanA, 5, true},          {"err B", "err/s", kLanB, 5, true},
    {"lostA", "linkLosses", kLanA, 5, true},     {"lostB", "linkLosses", kLanB, 5, true},
    {"tx A", "txRate", kLanA, 7, false},         {"tx B", "txRate", kLanB, 7, false},
    {"A\xe2\x88\x92" "B", "txDivergence", 0, 5, false},
    {"downA", "linkDownSeconds", kLanA, 6, false}, {"downB", "linkDownSeconds", kLanB, 6, false},
};
enum { kBoardWidth = 6, kTroubleWidth = 16 };

// The figure of each column: of that name, or of that label on the screen;
// found once.
static const Figure *ColumnFigure(int column) {
    static const Figure *figures[sizeof kColumns / sizeof kColumns[0]];
    if (figures[column] == nullptr) {
        for (int i = 0; i < kFigureCount; i++) {
            const char *called = kFigures[i].name != nullptr ? kFigures[i].name : kFigures[i].label;
            if (called != nullptr && strcmp(called, kColumns[column].figure) == 0)
                figures[column] = &kFigures[i];
        }
    }
    return figures[column];
}

// How wide the line's columns are on a grid of that width: the essentials,
// the others where they fit, and what is left to the trouble.
struct LineWidths {
    int columns; // of kColumns shown
    int trouble;
};

static LineWidths WidthsFor(int width) {
    int used = kBoardWidth + 2 + kTroubleWidth, columns = 0;
    for (const LineColumn &column : kColumns) {
        if (!column.essential && used + 1 + column.width > width)
            break;
        used += 1 + column.width;
        columns++;
    }
    int spare = width - used;
    return LineWidths{columns, kTroubleWidth + (spare > 22 ? 22 : spare > 0 ? spare : 0)};
}

void PutLineHeadings(Grid *grid, int row) {
    LineWidths widths = WidthsFor(grid->columns);
    PutText(grid, row, 1, "Board", kStyleBold);
    PutText(grid, row, kBoardWidth + 2, "Trouble", kStyleBold);
    int end = kBoardWidth + 2 + widths.trouble;
    for (int i = 0; i < widths.columns; i++) {
        end += 1 + kColumns[i].width;
        PutText(grid, row, end - Width(kColumns[i].heading), kColumns[i].heading, kStyleBold);
    }
}

// Its worst trouble, said as when last seen (with how long ago, when not at
// the last round), and how many more; or its state.
static void PutTrouble(Grid *grid, int row, int column, int width, const ShownBoard *board,
                       const FigureContext *context) {
    HeldTroubles now;
    const HeldTroubles &troubles = *TroublesOf(board, context, &now);
    char chars[256];
    Text text = TEXT_IN(chars);
    if (troubles.count != 0)
        AppendTrouble(&text, &troubles, 0);
    if (troubles.count > 1) {
        AppendText(&text, " +");
        AppendUnsigned(&text, (uint64_t)troubles.count - 1);
    }
    if (troubles.count == 0)
        AppendText(&text, StateWord(board->view->state));
    PutTextBefore(grid, row, column, column + width, chars,
                  troubles.count == 0 ? kStylePlain : troubles.trouble[0].figure->trouble.style);
}

void PutBoardLine(Grid *grid, int row, const ShownBoard *board, const FigureContext *context) {
    LineWidths widths = WidthsFor(grid->columns);
    char chars[kLongestScreenFigure + 1];
    Text text = TEXT_IN(chars);
    AppendSigned(&text, board->view->boardIndex);
    PutText(grid, row, kBoardWidth - (int)text.length, chars, kStyleBold);
    PutTrouble(grid, row, kBoardWidth + 2, widths.trouble, board, context);
    int end = kBoardWidth + 2 + widths.trouble;
    for (int i = 0; i < widths.columns; i++) {
        const LineColumn &column = kColumns[i];
        const Figure &figure = *ColumnFigure(i);
        end += 1 + column.width;
        text = TEXT_IN(chars);
        AppendFigure(&text, figure, board->view, column.lan, context, kOnScreen);
        PutText(grid, row, end - (int)text.length, chars,
                FigureStyle(figure, board->view, column.lan, context));
    }
}
