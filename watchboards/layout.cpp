#include "layout.h"

#include <string.h>

#include "figures.h"

// Columns of a board's block: its row labels, LanA's and LanB's figures
// (right-aligned, ending before these columns), LanA against LanB, and the
// mark of a divergence beyond the threshold.
enum {
    kLanAEnd = 20,
    kLanBEnd = 32,
    kDivergenceEnd = 38,
    kMarkColumn = 39,
};
enum { kGraphRows = 2 };
// A board's block: its title, then a row for each row of figures.
static int TableRows(void) { return 1 + kFigureRows; }
// A graph: its label ("rx A "), one column a second, then its scale.
enum { kGraphColumn = 5, kGraphEnd = kGraphColumn + kHistorySeconds, kScaleColumn = kGraphEnd + 1 };

static const char kMinus[] = "\xe2\x88\x92"; // U+2212, in "A−B"

static void PutRight(Grid *grid, int row, int end, const char *text, CellStyle style) {
    int length = 0;
    for (const char *p = text; *p != '\0'; p++)
        length += (*p & 0xc0) != 0x80; // count characters, not bytes
    PutText(grid, row, end - length, text, style);
}

// A figure, right-aligned as PutRight does.  Figures are ASCII, one
// character a byte, so that they need not be counted.
static void PutFigureText(Grid *grid, int row, int end, const Text *figure, CellStyle style) {
    PutAscii(grid, row, end - (int)figure->length, figure->chars, (int)figure->length, style);
}

static bool WithGraphs(const Grid *grid, int count, const ViewSettings *settings) {
    int room = grid->rows - 2; // header, footer
    return settings->graphs && grid->columns >= kGraphEnd &&
           count * (TableRows() + kGraphRows + 1) - 1 <= room;
}

int BoardsShown(const Grid *grid, int count, const ViewSettings *settings) {
    int block = TableRows() + (WithGraphs(grid, count, settings) ? kGraphRows : 0);
    int fit = (grid->rows - 2 + 1) / (block + 1);
    return fit < count ? fit : count;
}

static void PutTitle(Grid *grid, int row, const BoardView *board, uint64_t nowMs) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "Board ");
    AppendSigned(&text, board->boardIndex);
    int column = PutText(grid, row, 0, chars, kStyleBold) + 1;
    text = TEXT_IN(chars);
    AppendText(&text, StateWord(board->state));
    if (board->state == kBoardStale) {
        AppendChar(&text, ' ');
        AppendDuration(&text, (nowMs - board->changedMs) / 1000);
    }
    CellStyle style = board->state == kBoardLive ? kStylePlain : kStyleMark;
    column = PutText(grid, row, column, chars, style) + 1;
    if (board->resets != 0) {
        text = TEXT_IN(chars);
        AppendText(&text, "resets ");
        AppendUnsigned(&text, board->resets);
        PutText(grid, row, column, chars, kStylePlain);
    }
}

// A row's label, from the LAN's figure that gives it, with the unit of a
// rate.
static void PutLabel(Grid *grid, int row, const Figure &figure, const ViewSettings *settings) {
    int column = PutText(grid, row, 0, figure.label, kStylePlain);
    if (figure.unit == kUnitRate)
        PutText(grid, row, column, settings->bytes ? " B/s" : " bit/s", kStylePlain);
}

// A LAN's figure in LanA's and LanB's columns; a board's figure, when known,
// in the A−B column, marked beyond the mark.
static void PutFigure(Grid *grid, int row, const BoardView *board, const Figure &figure,
                      const FigureContext *context) {
    static const int kEnds[kLans] = {kLanAEnd, kLanBEnd};
    char chars[32];
    if (figure.ofEachLan) {
        for (int lan = 0; lan < kLans; lan++) {
            Text text = TEXT_IN(chars);
            AppendFigure(&text, figure, board, lan, context, kOnScreen);
            PutFigureText(grid, row, kEnds[lan], &text, kStylePlain);
        }
        return;
    }
    if (!FigureKnownFor(figure, board))
        return;
    Text text = TEXT_IN(chars);
    AppendFigure(&text, figure, board, 0, context, kOnScreen);
    bool marked = figure.unit == kUnitPercent &&
                  BeyondMark(figure.value(board, 0, context->settings), context->settings);
    PutFigureText(grid, row, kDivergenceEnd, &text, marked ? kStyleMark : kStylePlain);
    if (marked)
        PutCharacter(grid, row, kMarkColumn, '!', kStyleMark);
}

// The block characters U+2581 to U+2588, one to eight eighths high.
static uint16_t Bar(uint32_t rate, uint32_t scale) {
    if (rate == 0)
        return ' ';
    uint64_t eighths = ((uint64_t)rate * 8 + scale - 1) / scale; // at least one eighth
    return (uint16_t)(0x2580 + (eighths > 8 ? 8 : eighths));
}

static const char *const kGraphLabels[kLans] = {"rx A", "rx B"};

// Both LANs' receive rates over the last minute, newest on the right, on
// one scale: the highest rate of either.
static void PutGraphs(Grid *grid, int row, const BoardView *board, const ViewSettings *settings) {
    uint32_t scale = 0;
    for (const LanView &lan : board->lan)
        for (uint32_t rate : lan.history)
            if (rate < kNotSeen && rate > scale)
                scale = rate;
    for (int i = 0; i < kLans; i++) {
        for (int second = 0; second < kHistorySeconds; second++) {
            uint32_t rate = HistoryRate(board, i, second);
            if (rate == kNoRate)
                PutCharacter(grid, row + i, kGraphColumn + second, 0x00b7, kStyleDim); // '·'
            else if (rate != kNotSeen)
                PutCharacter(grid, row + i, kGraphColumn + second, Bar(rate, scale), kStylePlain);
        }
    }
    if (scale != 0) {
        char chars[32];
        Text text = TEXT_IN(chars);
        AppendText(&text, "max ");
        AppendScreenRate(&text, scale, settings);
        PutText(grid, row, kScaleColumn, chars, kStyleDim);
    }
}

static void AppendTenths(Text *text, uint32_t tenths) {
    AppendUnsigned(text, tenths / 10);
    if (tenths % 10 != 0) {
        AppendChar(text, '.');
        AppendChar(text, (char)('0' + tenths % 10));
    }
}

static void PutFooter(Grid *grid, int count, int first, int shown, const ViewSettings *settings,
                      ScreenNotice notice) {
    char chars[200];
    Text text = TEXT_IN(chars);
    if (notice.speedNeeded != 0) {
        AppendText(&text, "board ");
        AppendSigned(&text, notice.board);
        AppendText(&text, " faster than -s ");
        AppendSpeed(&text, settings->lanBitsPerSecond);
        AppendText(&text, ": try -s ");
        AppendSpeed(&text, notice.speedNeeded);
        AppendText(&text, "  ");
    }
    if (shown < count) {
        AppendText(&text, shown == 1 ? "board " : "boards ");
        AppendUnsigned(&text, (uint64_t)first + 1);
        if (shown > 1) {
            AppendChar(&text, '-');
            AppendUnsigned(&text, (uint64_t)(first + shown));
        }
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)count);
        AppendText(&text, " \xe2\x86\x91\xe2\x86\x93  "); // "↑↓"
    }
    AppendText(&text, "q quit  b ");
    AppendText(&text, settings->bytes ? "bits" : "bytes");
    AppendText(&text, "  g graphs  +/- mark >");
    AppendTenths(&text, settings->markTenths);
    AppendChar(&text, '%');
    PutText(grid, grid->rows - 1, 0, chars, kStyleDim);
}

static void PutTooSmall(Grid *grid) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "WatchBoards needs ");
    AppendUnsigned(&text, kMinimumColumns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, kMinimumRows);
    PutText(grid, 0, 0, chars, kStyleBold);
    text = TEXT_IN(chars);
    AppendText(&text, "this terminal is ");
    AppendUnsigned(&text, (uint64_t)grid->columns);
    AppendChar(&text, 'x');
    AppendUnsigned(&text, (uint64_t)grid->rows);
    PutText(grid, 1, 0, chars, kStylePlain);
}

// How many boards are shown from firstBoard on, whether with their graphs;
// and the row each starts at.
struct Placement {
    int shown;
    bool graphs;
};

static Placement PlaceBoards(const Grid *grid, int count, int firstBoard,
                             const ViewSettings *settings) {
    int shown = BoardsShown(grid, count, settings);
    if (shown > count - firstBoard)
        shown = count - firstBoard;
    return Placement{shown, WithGraphs(grid, count, settings)};
}

static int TopRow(const Placement *placement, int shownIndex) {
    int block = TableRows() + (placement->graphs ? kGraphRows : 0);
    return 1 + shownIndex * (block + 1); // a blank row between boards
}

static bool TooSmall(const Grid *grid) {
    return grid->columns < kMinimumColumns || grid->rows < kMinimumRows;
}

// What stays while the size, the boards shown and the settings do: the
// header, each board's row labels, the footer.
static void LayOutFrame(int count, int firstBoard, const ViewSettings *settings,
                        ScreenNotice notice, Grid *grid) {
    ClearGrid(grid, grid->rows, grid->columns);
    if (TooSmall(grid)) {
        PutTooSmall(grid);
        return;
    }
    PutText(grid, 0, 0, "WatchBoards", kStyleBold);
    PutRight(grid, 0, kLanAEnd, "LanA", kStyleBold);
    PutRight(grid, 0, kLanBEnd, "LanB", kStyleBold);
    char heading[16];
    Text text = TEXT_IN(heading);
    AppendText(&text, "A");
    AppendText(&text, kMinus);
    AppendText(&text, "B");
    PutRight(grid, 0, kDivergenceEnd, heading, kStyleBold);
    if (count == 0)
        PutText(grid, 1, 0, "No board publishes statistics.", kStylePlain);

    Placement placement = PlaceBoards(grid, count, firstBoard, settings);
    for (int i = 0; i < placement.shown; i++) {
        int row = TopRow(&placement, i);
        for (int i = 0; i < kFigureCount; i++)
            if (kFigures[i].label != nullptr)
                PutLabel(grid, row + kFigures[i].row, kFigures[i], settings);
        if (placement.graphs)
            for (int lan = 0; lan < kLans; lan++)
                PutText(grid, row + TableRows() + lan, 0, kGraphLabels[lan], kStylePlain);
    }
    PutFooter(grid, count, firstBoard, BoardsShown(grid, count, settings), settings, notice);
}

// What changes from one second to the next, laid out on the frame.
static void LayOutFigures(const BoardView *boards, int count, int firstBoard,
                          const ViewSettings *settings, uint64_t nowMs, Grid *grid) {
    if (TooSmall(grid))
        return;
    Placement placement = PlaceBoards(grid, count, firstBoard, settings);
    FigureContext context = {settings, nowMs};
    for (int i = 0; i < placement.shown; i++) {
        const BoardView *board = &boards[firstBoard + i];
        int row = TopRow(&placement, i);
        PutTitle(grid, row, board, nowMs);
        for (int f = 0; f < kFigureCount; f++)
            if (kFigures[f].row != 0)
                PutFigure(grid, row + kFigures[f].row, board, kFigures[f], &context);
        if (placement.graphs)
            PutGraphs(grid, row + TableRows(), board, settings);
    }
}

void LayOutScreen(const BoardView *boards, int count, int firstBoard, const ViewSettings *settings,
                  ScreenNotice notice, uint64_t nowMs, Grid *grid) {
    LayOutFrame(count, firstBoard, settings, notice, grid);
    LayOutFigures(boards, count, firstBoard, settings, nowMs, grid);
}

static bool SameFrame(const ScreenLayout *layout, const Grid *grid, int count, int firstBoard,
                      const ViewSettings *settings, ScreenNotice notice) {
    const Grid *frame = &layout->frame;
    return layout->framed && frame->rows == grid->rows && frame->columns == grid->columns &&
           layout->count == count && layout->firstBoard == firstBoard &&
           layout->notice.board == notice.board &&
           layout->notice.speedNeeded == notice.speedNeeded &&
           // Byte for byte: padding that differs only lays the frame out again.
           memcmp(&layout->settings, settings, sizeof *settings) == 0;
}

void LayOutScreenAgain(ScreenLayout *layout, const BoardView *boards, int count, int firstBoard,
                       const ViewSettings *settings, ScreenNotice notice, uint64_t nowMs,
                       Grid *grid) {
    if (!SameFrame(layout, grid, count, firstBoard, settings, notice)) {
        ClearGrid(&layout->frame, grid->rows, grid->columns);
        LayOutFrame(count, firstBoard, settings, notice, &layout->frame);
        layout->framed = true;
        layout->count = count;
        layout->firstBoard = firstBoard;
        layout->settings = *settings;
        layout->notice = notice;
    }
    CopyGrid(&layout->frame, grid);
    LayOutFigures(boards, count, firstBoard, settings, nowMs, grid);
}
