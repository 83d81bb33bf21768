#include "layout.h"

// Columns of a board's block: its row labels, LanA's and LanB's figures
// (right-aligned, ending before these columns), LanA against LanB, and the
// mark of a divergence beyond the threshold.
enum {
    kLanAEnd = 20,
    kLanBEnd = 32,
    kDivergenceEnd = 38,
    kMarkColumn = 39,
};
enum { kTableRows = 6, kGraphRows = 2 };
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
static void PutFigure(Grid *grid, int row, int end, const Text *figure, CellStyle style) {
    PutText(grid, row, end - (int)figure->length, figure->chars, style);
}

static bool WithGraphs(const Grid *grid, int count, const ViewSettings *settings) {
    int room = grid->rows - 2; // header, footer
    return settings->graphs && grid->columns >= kGraphEnd &&
           count * (kTableRows + kGraphRows + 1) - 1 <= room;
}

int BoardsShown(const Grid *grid, int count, const ViewSettings *settings) {
    int block = kTableRows + (WithGraphs(grid, count, settings) ? kGraphRows : 0);
    int fit = (grid->rows - 2 + 1) / (block + 1);
    return fit < count ? fit : count;
}

static void AppendRate(Text *text, uint64_t octetsPerSecond, const ViewSettings *settings) {
    AppendSi(text, settings->bytes ? octetsPerSecond : octetsPerSecond * 8);
}

static void AppendLink(Text *text, const LanView *lan, uint64_t nowMs) {
    if (lan->linkStatus <= 1)
        AppendText(text, lan->linkStatus == 1 ? "up" : "down");
    else
        AppendUnsigned(text, lan->linkStatus);
    // Before a change is seen, the link has been so at least since the start.
    AppendText(text, lan->linkChangeSeen ? " " : " >");
    AppendDuration(text, (nowMs - lan->linkChangedMs) / 1000);
}

static void PutTitle(Grid *grid, int row, const BoardView *board, uint64_t nowMs) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "Board ");
    AppendSigned(&text, board->boardIndex);
    int column = PutText(grid, row, 0, chars, kStyleBold) + 1;
    text = TEXT_IN(chars);
    CellStyle style = kStyleMark;
    switch (board->state) {
    case kBoardLive:
        AppendText(&text, "live");
        style = kStylePlain;
        break;
    case kBoardStale:
        AppendText(&text, "stale ");
        AppendDuration(&text, (nowMs - board->changedMs) / 1000);
        break;
    case kBoardShort:
        AppendText(&text, "block too short");
        break;
    case kBoardGone:
        AppendText(&text, board->sampled ? "gone" : "no block");
        break;
    }
    column = PutText(grid, row, column, chars, style) + 1;
    if (board->resets != 0) {
        text = TEXT_IN(chars);
        AppendText(&text, "resets ");
        AppendUnsigned(&text, board->resets);
        PutText(grid, row, column, chars, kStylePlain);
    }
}

// One row of the table: its label, then a figure for each LAN.  Figures
// the model does not have show as "-", never as 0.
enum Figure { kLink, kRxRate, kTxRate, kErrorRate, kErrors };

static void PutLabel(Grid *grid, int row, Figure figure, const ViewSettings *settings) {
    static const char *const kLabels[] = {"link", "rx", "tx", "err/s", "errors"};
    int column = PutText(grid, row, 0, kLabels[figure], kStylePlain);
    if (figure == kRxRate || figure == kTxRate)
        PutText(grid, row, column, settings->bytes ? " B/s" : " bit/s", kStylePlain);
}

static void PutFigures(Grid *grid, int row, const BoardView *board, Figure figure,
                       const ViewSettings *settings, uint64_t nowMs) {
    static const int kEnds[kLans] = {kLanAEnd, kLanBEnd};
    char chars[32];
    for (int i = 0; i < kLans; i++) {
        const LanView *lan = &board->lan[i];
        Text text = TEXT_IN(chars);
        bool rate = figure == kRxRate || figure == kTxRate || figure == kErrorRate;
        if (!board->sampled || board->state == kBoardGone || (rate && !board->stepped))
            AppendText(&text, "-");
        else if (figure == kLink)
            AppendLink(&text, lan, nowMs);
        else if (figure == kRxRate)
            AppendRate(&text, PerSecond(lan->rxStep, board->elapsedMs), settings);
        else if (figure == kTxRate)
            AppendRate(&text, PerSecond(lan->txStep, board->elapsedMs), settings);
        else if (figure == kErrorRate)
            AppendUnsigned(&text, PerSecond(lan->errStep, board->elapsedMs));
        else
            AppendUnsigned(&text, lan->errorsSinceStart);
        PutFigure(grid, row, kEnds[i], &text, kStylePlain);
    }

    if ((figure == kRxRate || figure == kTxRate) && board->stepped) {
        const LanView *a = &board->lan[kLanA], *b = &board->lan[kLanB];
        int32_t tenths = figure == kRxRate ? DivergenceTenths(a->rxStep, b->rxStep)
                                           : DivergenceTenths(a->txStep, b->txStep);
        uint32_t magnitude = tenths < 0 ? 0u - (uint32_t)tenths : (uint32_t)tenths;
        bool beyond = magnitude > settings->markTenths;
        Text text = TEXT_IN(chars);
        AppendPercentTenths(&text, tenths);
        PutFigure(grid, row, kDivergenceEnd, &text, beyond ? kStyleMark : kStylePlain);
        if (beyond)
            PutCharacter(grid, row, kMarkColumn, '!', kStyleMark);
    }
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
        AppendRate(&text, scale, settings);
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

static void PutFooter(Grid *grid, int count, int first, int shown, const ViewSettings *settings) {
    char chars[160];
    Text text = TEXT_IN(chars);
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
    int block = kTableRows + (placement->graphs ? kGraphRows : 0);
    return 1 + shownIndex * (block + 1); // a blank row between boards
}

static bool TooSmall(const Grid *grid) {
    return grid->columns < kMinimumColumns || grid->rows < kMinimumRows;
}

// What stays while the size, the boards shown and the settings do: the
// header, each board's row labels, the footer.
static void LayOutFrame(int count, int firstBoard, const ViewSettings *settings, Grid *grid) {
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
        for (int figure = kLink; figure <= kErrors; figure++)
            PutLabel(grid, row + 1 + figure, (Figure)figure, settings);
        if (placement.graphs)
            for (int lan = 0; lan < kLans; lan++)
                PutText(grid, row + kTableRows + lan, 0, kGraphLabels[lan], kStylePlain);
    }
    PutFooter(grid, count, firstBoard, BoardsShown(grid, count, settings), settings);
}

// What changes from one second to the next, laid out on the frame.
static void LayOutFigures(const BoardView *boards, int count, int firstBoard,
                          const ViewSettings *settings, uint64_t nowMs, Grid *grid) {
    if (TooSmall(grid))
        return;
    Placement placement = PlaceBoards(grid, count, firstBoard, settings);
    for (int i = 0; i < placement.shown; i++) {
        const BoardView *board = &boards[firstBoard + i];
        int row = TopRow(&placement, i);
        PutTitle(grid, row, board, nowMs);
        for (int figure = kLink; figure <= kErrors; figure++)
            PutFigures(grid, row + 1 + figure, board, (Figure)figure, settings, nowMs);
        if (placement.graphs)
            PutGraphs(grid, row + kTableRows, board, settings);
    }
}

void LayOutScreen(const BoardView *boards, int count, int firstBoard, const ViewSettings *settings,
                  uint64_t nowMs, Grid *grid) {
    LayOutFrame(count, firstBoard, settings, grid);
    LayOutFigures(boards, count, firstBoard, settings, nowMs, grid);
}

static bool SameFrame(const ScreenLayout *layout, const Grid *grid, int count, int firstBoard,
                      const ViewSettings *settings) {
    const Grid *frame = &layout->frame;
    const ViewSettings *framed = &layout->settings;
    return layout->framed && frame->rows == grid->rows && frame->columns == grid->columns &&
           layout->count == count && layout->firstBoard == firstBoard &&
           framed->bytes == settings->bytes && framed->graphs == settings->graphs &&
           framed->markTenths == settings->markTenths;
}

void LayOutScreenAgain(ScreenLayout *layout, const BoardView *boards, int count, int firstBoard,
                       const ViewSettings *settings, uint64_t nowMs, Grid *grid) {
    if (!SameFrame(layout, grid, count, firstBoard, settings)) {
        layout->frame.rows = grid->rows;
        layout->frame.columns = grid->columns;
        LayOutFrame(count, firstBoard, settings, &layout->frame);
        layout->framed = true;
        layout->count = count;
        layout->firstBoard = firstBoard;
        layout->settings = *settings;
    }
    CopyGrid(&layout->frame, grid);
    LayOutFigures(boards, count, firstBoard, settings, nowMs, grid);
}
