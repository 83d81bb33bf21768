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

// Where a line's columns go on a grid of a width: each that fits, the
// essentials first as the rows give them, each whole, ending at its column;
// the trouble in the room left, up to kMostTroubleWidth.
struct LineColumn {
    const ShownFigure *shown;
    int lan, end, width;
};
struct LineLayout {
    int width, trouble, count;
    LineColumn columns[2 * sizeof kShownFigures / sizeof kShownFigures[0]];
};

// The layout for that width: the last one made, kept while the width stays.
static const LineLayout *LayoutFor(int width) {
    static LineLayout layout = {-1, 0, 0, {}};
    if (layout.width == width)
        return &layout;
    layout.width = width;
    layout.count = 0;
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
            layout.columns[layout.count++] = LineColumn{&shown, lan, used, each};
        }
    }
    int spare = width - used, most = kMostTroubleWidth - kTroubleWidth;
    layout.trouble = kTroubleWidth + (spare > most ? most : spare > 0 ? spare : 0);
    // The columns move right by what the trouble takes beyond its least.
    for (int i = 0; i < layout.count; i++)
        layout.columns[i].end += layout.trouble - kTroubleWidth;
    return &layout;
}

void PutLineHeadings(Grid *grid, int row) {
    const LineLayout *layout = LayoutFor(grid->columns);
    PutText(grid, row, 1, "Board", kStyleBold);
    PutText(grid, row, kBoardWidth + 2, "Trouble", kStyleBold);
    for (int i = 0; i < layout->count; i++) {
        const LineColumn &column = layout->columns[i];
        char heading[16];
        Text text = TEXT_IN(heading);
        AppendText(&text, column.shown->heading);
        if (kFigures[column.shown->figure].ofEachLan)
            AppendChar(&text, column.lan == kLanA ? 'A' : 'B');
        PutText(grid, row, column.end - Width(heading), heading, kStyleBold);
    }
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
    const LineLayout *layout = LayoutFor(grid->columns);
    char chars[64]; // room to write a figure in place (text.h)
    Text text = TEXT_IN(chars);
    AppendSigned(&text, board->boardIndex);
    PutText(grid, row, kBoardWidth - (int)text.length, chars, kStyleBold);
    PutTrouble(grid, row, kBoardWidth + 2, layout->trouble, shown, context);
    for (int i = 0; i < layout->count; i++) {
        const LineColumn &column = layout->columns[i];
        FigureId id = column.shown->figure;
        text = TEXT_IN(chars);
        AppendScreenFigure(&text, id, board, column.lan, context, view, column.width);
        PutText(grid, row, column.end - (int)text.length, chars,
                StyleOf(FigureSeverity(kFigures[id], board, column.lan)));
    }
}
