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

// Where a line's columns go on a grid of a width: the essentials first as
// the rows give them, each whole; then the boards' names, as wide as the
// longest where there is room (at least kNarrowestName, or none); then the
// others; the trouble in the room left, up to kMostTroubleWidth.  Each
// figure's column ends at end.
enum { kNarrowestName = 4 };
struct LineColumn {
    const ShownFigure *shown;
    int lan, end, width;
};
struct LineLayout {
    int width, longestName; // what it was made for
    int name, trouble, count;
    LineColumn columns[2 * sizeof kShownFigures / sizeof kShownFigures[0]];
};

// The layout for that width and names: the last one made, kept while they
// stay.
static const LineLayout *LayoutFor(int width, int longestName) {
    static LineLayout layout = {-1, -1, 0, 0, 0, {}};
    if (layout.width == width && layout.longestName == longestName)
        return &layout;
    layout.width = width;
    layout.longestName = longestName;
    layout.count = layout.name = 0;
    int used = kBoardWidth + 2 + kTroubleWidth;
    bool named = longestName == 0;
    for (const ShownFigure &shown : kShownFigures) {
        if (shown.heading == nullptr)
            continue;
        if (!shown.essential && !named) {
            int room = width - used - 1;
            layout.name = room < kNarrowestName ? 0 : room < longestName ? room : longestName;
            used += layout.name != 0 ? layout.name + 1 : 0;
            named = true;
        }
        int columns = kFigures[shown.figure].ofEachLan ? kLans : 1;
        int each = ColumnWidth(shown);
        if (used + (1 + each) * columns > width)
            break;
        for (int lan = 0; lan < columns; lan++) {
            used += 1 + each;
            layout.columns[layout.count++] = LineColumn{&shown, lan, used, each};
        }
    }
    if (!named) { // no room for more than the essentials
        int room = width - used - 1;
        layout.name = room < kNarrowestName ? 0 : room < longestName ? room : longestName;
        used += layout.name != 0 ? layout.name + 1 : 0;
    }
    int spare = width - used, most = kMostTroubleWidth - kTroubleWidth;
    layout.trouble = kTroubleWidth + (spare > most ? most : spare > 0 ? spare : 0);
    // Every figure after the name and the trouble as they came to be.
    int figures = kBoardWidth + 2 + (layout.name != 0 ? layout.name + 1 : 0) + layout.trouble;
    for (int i = 0, at = figures; i < layout.count; i++) {
        at += 1 + layout.columns[i].width;
        layout.columns[i].end = at;
    }
    return &layout;
}

// Where the trouble begins.
static int TroubleColumn(const LineLayout *layout) {
    return kBoardWidth + 2 + (layout->name != 0 ? layout->name + 1 : 0);
}

int LongestName(const ShownBoard *boards, int count) {
    int longest = 0;
    for (int i = 0; i < count; i++) {
        int width = Width(boards[i].board->name);
        longest = width > longest ? width : longest;
    }
    return longest;
}

void PutLineHeadings(Grid *grid, int row, int longestName) {
    const LineLayout *layout = LayoutFor(grid->columns, longestName);
    PutText(grid, row, 1, "Board", kStyleBold);
    if (layout->name != 0)
        PutText(grid, row, kBoardWidth + 1, "Name", kStyleBold);
    PutText(grid, row, TroubleColumn(layout), "Trouble", kStyleBold);
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
                  const ViewSettings *view, int longestName) {
    const Board *board = shown->board;
    const LineLayout *layout = LayoutFor(grid->columns, longestName);
    char chars[64]; // room to write a figure in place (text.h)
    Text text = TEXT_IN(chars);
    AppendSigned(&text, board->boardIndex);
    PutText(grid, row, kBoardWidth - (int)text.length, chars, kStyleBold);
    if (layout->name != 0) // cut where it does not fit
        PutTextBefore(grid, row, kBoardWidth + 1, kBoardWidth + 1 + layout->name, board->name,
                      kStylePlain);
    PutTrouble(grid, row, TroubleColumn(layout), layout->trouble, shown, context);
    for (int i = 0; i < layout->count; i++) {
        const LineColumn &column = layout->columns[i];
        FigureId id = column.shown->figure;
        text = TEXT_IN(chars);
        AppendScreenFigure(&text, id, board, column.lan, context, view, column.width);
        PutText(grid, row, column.end - (int)text.length, chars,
                StyleOf(FigureSeverity(kFigures[id], board, column.lan)));
    }
}
