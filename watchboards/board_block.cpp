#include "board_block.h"

#include "names.h"

#include "names.h"

int BlockRows(bool graphs) { return 1 + kFigureRows + (graphs ? kGraphRows : 0); }

// With graphs, as far as their scale reaches: "max 999.9 M".
int BlockColumns(bool graphs) { return graphs ? kScaleColumn + 11 : kMarkColumn + 1; }

int Width(const char *utf8) {
    int width = 0;
    for (const char *p = utf8; *p != '\0'; p++)
        width += (*p & 0xc0) != 0x80;
    return width;
}

static void PutRight(Grid *grid, int row, int end, const char *text, CellStyle style) {
    PutText(grid, row, end - Width(text), text, style);
}

void PutColumnHeadings(Grid *grid, int row, int column) {
    PutRight(grid, row, column + kLanAEnd, "LanA", kStyleBold);
    PutRight(grid, row, column + kLanBEnd, "LanB", kStyleBold);
    PutRight(grid, row, column + kBoardEnd,
             "A\xe2\x88\x92"
             "B",
             kStyleBold); // U+2212
}

static const char kDot[] = " \xc2\xb7 "; // " · ", between the parts of a heading

// "Board 102 live", or its trouble, heaviest first: "Board 102 · LanB down
// · rx +20.0%"; and the resets seen.  Within the block's columns.
static void PutHeading(Grid *grid, int row, int column, int end, const ShownBoard *shown,
                       const FigureContext *context) {
    const Board *board = shown->board;
    char chars[kLongestNameBytes + 48];
    Text text = TEXT_IN(chars);
    AppendBoard(&text, board->boardIndex, board->name, true);
    column = PutTextBefore(grid, row, column, end, chars, kStyleBold);
    HeldTroubles now;
    const HeldTroubles &troubles = *TroublesOf(shown, context->nowMs, &now);
    for (int i = 0; i < troubles.count; i++) {
        text = TEXT_IN(chars);
        AppendHeld(&text, &troubles, i);
        column = PutTextBefore(grid, row, column, end, kDot, kStylePlain);
        column = PutTextBefore(grid, row, column, end, chars,
                               StyleOf(troubles.held[i].trouble.severity));
    }
    if (troubles.count == 0) {
        column = PutTextBefore(grid, row, column, end, " ", kStylePlain);
        column = PutTextBefore(grid, row, column, end, StateWord(board->state), kStylePlain);
    }
    if (board->resets != 0) {
        text = TEXT_IN(chars);
        AppendText(&text, "resets ");
        AppendUnsigned(&text, board->resets);
        PutTextBefore(grid, row, column + 1, end, chars, kStylePlain);
    }
}

// A figure right-aligned to end before end; on the screen its time after
// it, how long it has been so.
static void PutFigure(Grid *grid, int row, int end, FigureId id, const Board *board, int lan,
                      const FigureContext *context, const ViewSettings *view, CellStyle style) {
    const Figure &figure = kFigures[id];
    char chars[64]; // room to write a figure in place (text.h)
    Text text = TEXT_IN(chars);
    AppendScreenFigure(&text, id, board, lan, context, view, kBlockCountWidth);
    int64_t value;
    if (figure.since != kSinceNotSaid && FigureValue(id, board, lan, context, &value)) {
        Since since = SinceOf(figure, board, lan);
        AppendText(&text, since.atLeast ? " >" : " ");
        AppendDuration(&text, (context->nowMs - since.ms) / 1000);
    }
    PutText(grid, row, end - (int)text.length, chars, style);
}

// The block characters U+2581 to U+2588, one to eight eighths high.
static uint16_t Bar(uint32_t value, uint32_t scale) {
    if (value == 0)
        return ' ';
    uint64_t eighths = ((uint64_t)value * 8 + scale - 1) / scale; // at least one eighth
    return (uint16_t)(0x2580 + (eighths > 8 ? 8 : eighths));
}

// A graphed figure of both LANs over the last minute, newest on the right,
// on one scale: the highest value of either.
static void PutGraphs(Grid *grid, int row, int column, const ShownFigure &shown, int graph,
                      const GraphHistory *history, const ViewSettings *view) {
    uint32_t scale = 0;
    for (const auto &lan : history->value[graph])
        for (uint32_t value : lan)
            if (value < kNotSeen && value > scale)
                scale = value;
    for (int lan = 0; lan < kLans; lan++) {
        char label[16];
        Text text = TEXT_IN(label);
        AppendText(&text, shown.label);
        AppendText(&text, lan == kLanA ? " A" : " B");
        PutText(grid, row + lan, column, label, kStylePlain);
        for (int second = 0; second < kHistorySeconds; second++) {
            uint32_t value = HistoryValue(history, graph, lan, second);
            int at = column + kGraphColumn + second;
            if (value == kNoValue)
                PutCharacter(grid, row + lan, at, 0x00b7, kStyleDim); // '·'
            else if (value != kNotSeen)
                PutCharacter(grid, row + lan, at, Bar(value, scale), kStylePlain);
        }
    }
    if (scale != 0) {
        char chars[32];
        Text text = TEXT_IN(chars);
        AppendText(&text, "max ");
        AppendScreenValue(&text, kFigures[shown.figure].unit, scale, view, kBlockCountWidth);
        PutText(grid, row, column + kScaleColumn, chars, kStyleDim);
    }
}

void PutBoardBlock(Grid *grid, int row, int column, int room, const ShownBoard *shown,
                   const FigureContext *context, const ViewSettings *view, bool graphs) {
    const Board *board = shown->board;
    PutHeading(grid, row, column, column + room, shown, context);
    int graphRow = row + 1 + kFigureRows, graph = 0;
    for (const ShownFigure &place : kShownFigures) {
        const Figure &figure = kFigures[place.figure];
        if (graphs && place.graphed && shown->history != nullptr) {
            PutGraphs(grid, graphRow, column, place, graph, shown->history, view);
            graphRow += kLans;
        }
        graph += place.graphed;
        if (place.row == 0)
            continue;
        int at = row + place.row;
        if (place.label != nullptr) {
            int end = PutText(grid, at, column, place.label, kStylePlain);
            if (figure.unit == kUnitRate)
                PutText(grid, at, end, view->bytes ? " B/s" : " bit/s", kStylePlain);
        }
        if (figure.ofEachLan) {
            for (int lan = 0; lan < kLans; lan++)
                PutFigure(grid, at, column + (lan == kLanA ? kLanAEnd : kLanBEnd), place.figure,
                          board, lan, context, view, StyleOf(FigureSeverity(figure, board, lan)));
        } else if (int64_t value; FigureValue(place.figure, board, 0, context, &value)) {
            // A board's figure in the A−B column, marked when it is trouble.
            CellStyle style = StyleOf(FigureSeverity(figure, board, 0));
            PutFigure(grid, at, column + kBoardEnd, place.figure, board, 0, context, view, style);
            if (style != kStylePlain)
                PutCharacter(grid, at, column + kMarkColumn, '!', style);
        }
    }
}
