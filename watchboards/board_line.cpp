#include "board_line.h"

#include "board_block.h"

enum { kBoardWidth = 6, kTroubleWidth = 16, kMostTroubleWidth = 38 };

// How wide a figure's column is: its heading (with the LAN's letter for a
// LAN's figure), or its figure written as narrow as it can be, whichever is
// wider.
static constexpr int ColumnWidth(const ShownFigure &shown) {
    int heading = kFigures[shown.figure].ofEachLan;
    for (const char *c = shown.heading; *c != '\0'; c++)
        heading += (*c & 0xc0) != 0x80;
    int figure = ScreenWidth(kFigures[shown.figure].unit, kNarrowestCount, false);
    return heading > figure ? heading : figure;
}

// The essentials fit 80 columns, each figure whole.
static constexpr bool EssentialsFit() {
    int used = kBoardWidth + 2 + kTroubleWidth;
    for (const ShownFigure &shown : kShownFigures)
        if (shown.heading != nullptr && shown.essential)
            used += (1 + ColumnWidth(shown)) * (kFigures[shown.figure].ofEachLan ? kLans : 1);
    return used <= kLineColumns;
}
static_assert(EssentialsFit(), "a line's essentials fit 80 columns");

// Calls put(shown, lan, width) for each column that fits a grid of that
// width, the essentials first as the rows give them, each whole; returns
// the columns left to the trouble.
template <typename Put> static int ForEachColumn(int width, Put put) {
    int used = kBoardWidth + 2 + kTroubleWidth;
    for (const ShownFigure &shown : kShownFigures) {
        if (shown.heading == nullptr)
            continue;
        int columns = kFigures[shown.figure].ofEachLan ? kLans : 1;
        int each = ColumnWidth(shown);
        if (used + (1 + each) * columns > width)
            break;
        for (int lan = 0; lan < columns; lan++) {
            used += 1 + each;
            put(shown, lan, used);
        }
    }
    int spare = width - used;
    return kTroubleWidth + (spare > kMostTroubleWidth - kTroubleWidth ? kMostTroubleWidth - kTroubleWidth
                            : spare > 0                            ? spare
                                                                   : 0);
}

// The trouble's room: what the columns leave of the line.
static int TroubleWidth(int width) {
    return ForEachColumn(width, [](const ShownFigure &, int, int) {});
}

void PutLineHeadings(Grid *grid, int row) {
    int trouble = TroubleWidth(grid->columns), start = kBoardWidth + 2 + trouble;
    PutText(grid, row, 1, "Board", kStyleBold);
    PutText(grid, row, kBoardWidth + 2, "Trouble", kStyleBold);
    ForEachColumn(grid->columns, [&](const ShownFigure &shown, int lan, int end) {
        char heading[16];
        Text text = TEXT_IN(heading);
        AppendText(&text, shown.heading);
        if (kFigures[shown.figure].ofEachLan)
            AppendChar(&text, lan == kLanA ? 'A' : 'B');
        int at = start - (kBoardWidth + 2 + kTroubleWidth) + end;
        PutText(grid, row, at - Width(heading), heading, kStyleBold);
    });
}

// Its worst trouble, said as when last seen (with how long ago, when not at
// the last round), and how many more; or its state.
static void PutTrouble(Grid *grid, int row, int column, int width, const ShownBoard *board,
                       const FigureContext *context) {
    HeldTroubles now;
    const HeldTroubles &troubles = *TroublesOf(board, context->nowMs, &now);
    char chars[256];
    Text text = TEXT_IN(chars);
    if (troubles.count != 0)
        AppendHeld(&text, &troubles, 0);
    if (troubles.count > 1) {
        AppendText(&text, " +");
        AppendUnsigned(&text, (uint64_t)troubles.count - 1);
    }
    if (troubles.count == 0)
        AppendText(&text, StateWord(board->board->state));
    PutTextBefore(grid, row, column, column + width, chars,
                  troubles.count == 0 ? kStylePlain : StyleOf(troubles.held[0].trouble.severity));
}

void PutBoardLine(Grid *grid, int row, const ShownBoard *shown, const FigureContext *context,
                  const ViewSettings *view) {
    const Board *board = shown->board;
    int trouble = TroubleWidth(grid->columns), start = kBoardWidth + 2 + trouble;
    char chars[kLongestScreenFigure + 1];
    Text text = TEXT_IN(chars);
    AppendSigned(&text, board->boardIndex);
    PutText(grid, row, kBoardWidth - (int)text.length, chars, kStyleBold);
    PutTrouble(grid, row, kBoardWidth + 2, trouble, shown, context);
    ForEachColumn(grid->columns, [&](const ShownFigure &place, int lan, int end) {
        const Figure &figure = kFigures[place.figure];
        text = TEXT_IN(chars);
        AppendScreenFigure(&text, place.figure, board, lan, context, view, ColumnWidth(place));
        int at = start - (kBoardWidth + 2 + kTroubleWidth) + end;
        PutText(grid, row, at - (int)text.length, chars,
                StyleOf(FigureSeverity(figure, board, lan)));
    });
}
