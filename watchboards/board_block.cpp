#include "board_block.h"

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
    PutRight(grid, row, column + kBoardEnd, "A\xe2\x88\x92" "B", kStyleBold); // U+2212
}

static const char kDot[] = " \xc2\xb7 "; // " · ", between the parts of a heading

// "Board 102 live", or its trouble, heaviest first: "Board 102 · LanB down
// · rx +20%"; and the resets seen.  Within the block's columns.
static void PutHeading(Grid *grid, int row, int column, int end, const ShownBoard *board,
                       const FigureContext *context) {
    char chars[80];
    Text text = TEXT_IN(chars);
    AppendText(&text, "Board ");
    AppendSigned(&text, board->view->boardIndex);
    column = PutTextBefore(grid, row, column, end, chars, kStyleBold);
    HeldTroubles now;
    const HeldTroubles &troubles = *TroublesOf(board, context, &now);
    for (int i = 0; i < troubles.count; i++) {
        text = TEXT_IN(chars);
        AppendTrouble(&text, &troubles, i);
        column = PutTextBefore(grid, row, column, end, kDot, kStylePlain);
        column = PutTextBefore(grid, row, column, end, chars,
                               troubles.trouble[i].figure->trouble.style);
    }
    if (troubles.count == 0) {
        column = PutTextBefore(grid, row, column, end, " ", kStylePlain);
        column = PutTextBefore(grid, row, column, end, StateWord(board->view->state), kStylePlain);
    }
    if (board->view->resets != 0) {
        text = TEXT_IN(chars);
        AppendText(&text, "resets ");
        AppendUnsigned(&text, board->view->resets);
        PutTextBefore(grid, row, column + 1, end, chars, kStylePlain);
    }
}

// A figure right-aligned to end before end; on the screen its time after
// it, how long it has been so.
static void PutFigure(Grid *grid, int row, int end, const Figure &figure, const BoardView *board,
                      int lan, const FigureContext *context, CellStyle style) {
    char chars[kLongestScreenFigure + 1];
    Text text = TEXT_IN(chars);
    AppendFigure(&text, figure, board, lan, context, kOnScreen);
    if (figure.since != nullptr && figure.known(board, lan)) {
        Since since = figure.since(board, lan);
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
static void PutGraphs(Grid *grid, int row, int column, const Figure &figure, int graph,
                      const BoardView *board, const FigureContext *context) {
    uint32_t scale = 0;
    for (const auto &lan : board->history[graph])
        for (uint32_t value : lan)
            if (value < kNotSeen && value > scale)
                scale = value;
    for (int lan = 0; lan < kLans; lan++) {
        char label[16];
        Text text = TEXT_IN(label);
        AppendText(&text, figure.label);
        AppendText(&text, lan == kLanA ? " A" : " B");
        PutText(grid, row + lan, column, label, kStylePlain);
        for (int second = 0; second < kHistorySeconds; second++) {
            uint32_t value = HistoryValue(board, graph, lan, second);
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
        AppendScreenValue(&text, figure.unit, scale, context->settings);
        PutText(grid, row, column + kScaleColumn, chars, kStyleDim);
    }
}

void PutBoardBlock(Grid *grid, int row, int column, int room, const ShownBoard *shown,
                   const FigureContext *context, bool graphs) {
    const BoardView *board = shown->view;
    PutHeading(grid, row, column, column + room, shown, context);
    int graphRow = row + 1 + kFigureRows, graph = 0;
    for (int f = 0; f < kFigureCount; f++) {
        const Figure &figure = kFigures[f];
        if (graphs && figure.graphed) {
            PutGraphs(grid, graphRow, column, figure, graph, board, context);
            graphRow += kLans;
        }
        graph += figure.graphed;
        if (figure.row == 0)
            continue;
        int at = row + figure.row;
        if (figure.label != nullptr) {
            int end = PutText(grid, at, column, figure.label, kStylePlain);
            if (figure.unit == kUnitRate)
                PutText(grid, at, end, context->settings->bytes ? " B/s" : " bit/s", kStylePlain);
        }
        if (figure.ofEachLan) {
            PutFigure(grid, at, column + kLanAEnd, figure, board, kLanA, context,
                      FigureStyle(figure, board, kLanA, context));
            PutFigure(grid, at, column + kLanBEnd, figure, board, kLanB, context,
                      FigureStyle(figure, board, kLanB, context));
        } else if (figure.known(board, 0)) {
            // A board's figure in the A−B column, marked when it is trouble.
            CellStyle style = FigureStyle(figure, board, 0, context);
            PutFigure(grid, at, column + kBoardEnd, figure, board, 0, context, style);
            if (style != kStylePlain)
                PutCharacter(grid, at, column + kMarkColumn, '!', style);
        }
    }
}
