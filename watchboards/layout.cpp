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

static const char kAgainst[] = "A\xe2\x88\x92" "B"; // "A−B", with U+2212

// Characters, not bytes, of UTF-8 text.
static int Width(const char *utf8) {
    int width = 0;
    for (const char *p = utf8; *p != '\0'; p++)
        width += (*p & 0xc0) != 0x80;
    return width;
}

static void PutRight(Grid *grid, int row, int end, const char *text, CellStyle style) {
    PutText(grid, row, end - Width(text), text, style);
}

// A figure, right-aligned as PutRight does.  Figures are ASCII, one
// character a byte, so that they need not be counted.
static void PutFigureText(Grid *grid, int row, int end, const Text *figure, CellStyle style) {
    PutAscii(grid, row, end - (int)figure->length, figure->chars, (int)figure->length, style);
}

// What a place on the screen held before, as wide as it was (*was, null
// when it held nothing), is blanked where the new text, as wide as now,
// does not cover it: to the left of a text that ends at at (right), or to
// the right of one that starts there.
static void Uncover(Grid *grid, int row, int at, bool right, int now, int *was) {
    if (was == nullptr)
        return;
    for (int i = now; i < *was; i++)
        PutCharacter(grid, row, right ? at - 1 - i : at + i, ' ', kStylePlain);
    *was = now;
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

static const char kDot[] = " \xc2\xb7 "; // " · ", between the parts of a heading

// "Board 102 live", or its trouble, heaviest first: "Board 102 · LanB down
// · rx +20%"; and the resets seen.
static void PutTitle(Grid *grid, int row, const BoardView *board, const ViewSettings *settings,
                     uint64_t nowMs, int *was) {
    char chars[64];
    Text text = TEXT_IN(chars);
    AppendText(&text, "Board ");
    AppendSigned(&text, board->boardIndex);
    int column = PutAscii(grid, row, 0, chars, (int)text.length, kStyleBold);
    Trouble troubles[kMostTroubles];
    int count = BoardTroubles(board, settings, nowMs, troubles);
    for (int i = 0; i < count; i++) {
        column = PutText(grid, row, column, kDot, kStylePlain);
        column = PutText(grid, row, column, troubles[i].text,
                         troubles[i].alarm ? kStyleAlarm : kStyleWarning);
    }
    if (count == 0) {
        text = TEXT_IN(chars);
        AppendChar(&text, ' ');
        AppendText(&text, StateWord(board->state));
        column = PutAscii(grid, row, column, chars, (int)text.length, kStylePlain);
    }
    if (board->resets != 0) {
        text = TEXT_IN(chars);
        AppendText(&text, "resets ");
        AppendUnsigned(&text, board->resets);
        column = PutText(grid, row, column + 1, chars, kStylePlain);
    }
    Uncover(grid, row, 0, false, column, was);
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
                      const FigureContext *context, int *was) {
    static const int kEnds[kLans] = {kLanAEnd, kLanBEnd};
    char chars[32];
    auto style = [&](int lan) {
        return figure.trouble != nullptr && figure.trouble(board, lan, context->settings)
                   ? kStyleAlarm
                   : kStylePlain;
    };
    if (figure.ofEachLan) {
        for (int lan = 0; lan < kLans; lan++) {
            Text text = TEXT_IN(chars);
            AppendFigure(&text, figure, board, lan, context, kOnScreen);
            PutFigureText(grid, row, kEnds[lan], &text, style(lan));
            Uncover(grid, row, kEnds[lan], true, (int)text.length, was ? &was[lan] : nullptr);
        }
        return;
    }
    Text text = TEXT_IN(chars);
    bool known = FigureKnownFor(figure, board);
    if (known)
        AppendFigure(&text, figure, board, 0, context, kOnScreen);
    CellStyle marked = known ? style(0) : kStylePlain;
    PutFigureText(grid, row, kDivergenceEnd, &text, marked);
    Uncover(grid, row, kDivergenceEnd, true, (int)text.length, was ? &was[0] : nullptr);
    if (marked == kStyleAlarm)
        PutCharacter(grid, row, kMarkColumn, '!', kStyleAlarm);
    else if (was != nullptr) // what a mark there was
        PutCharacter(grid, row, kMarkColumn, ' ', kStylePlain);
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
static void PutGraphs(Grid *grid, int row, const BoardView *board, const ViewSettings *settings,
                      int *was) {
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
    char chars[32];
    Text text = TEXT_IN(chars);
    if (scale != 0) {
        AppendText(&text, "max ");
        AppendScreenRate(&text, scale, settings);
        PutAscii(grid, row, kScaleColumn, chars, (int)text.length, kStyleDim);
    }
    Uncover(grid, row, kScaleColumn, false, (int)text.length, was);
}

// The mark, in percent: "5", "0.5".
static void AppendMark(Text *text, uint32_t tenths) {
    AppendUnsigned(text, tenths / 10);
    if (tenths % 10 != 0) {
        AppendChar(text, '.');
        AppendChar(text, (char)('0' + tenths % 10));
    }
}

// The footer, from its parts, heaviest first, each put only when it fits
// whole: what is said of the LAN speed, where the boards shown are in the
// list, how many boards out of view are in trouble, and the keys, all of
// them or as few as fit.
// Returns the column of the room kept for how many boards out of view are
// in trouble (TroubleRoom wide), or -1 where there is none.
static int TroubleRoom(const ScreenFrame *frame) {
    char chars[24];
    Text text = TEXT_IN(chars);
    AppendUnsigned(&text, (uint64_t)frame->count);
    return (int)text.length + 11; // " in trouble"
}

static int PutFooter(Grid *grid, const ScreenFrame *frame, int shown, bool graphs) {
    const ViewSettings *settings = &frame->settings;
    struct Part {
        char chars[128];
        CellStyle style;
    } parts[5];
    int count = 0;
    auto part = [&](CellStyle style) -> Text {
        parts[count].style = style;
        return TEXT_IN(parts[count++].chars);
    };
    if (frame->notice.speedNeeded != 0) {
        Text text = part(kStyleWarning);
        AppendText(&text, "board ");
        AppendSigned(&text, frame->notice.board);
        AppendText(&text, " faster than -s ");
        AppendSpeed(&text, settings->lanBitsPerSecond);
        AppendText(&text, ": try -s ");
        AppendSpeed(&text, frame->notice.speedNeeded);
    }
    if (shown < frame->count) {
        Text text = part(kStyleDim);
        AppendText(&text, shown == 1 ? "board " : "boards ");
        AppendUnsigned(&text, (uint64_t)frame->firstBoard + 1);
        if (shown > 1) {
            AppendChar(&text, '-');
            AppendUnsigned(&text, (uint64_t)(frame->firstBoard + shown));
        }
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)frame->count);
        AppendText(&text, " \xe2\x86\x91\xe2\x86\x93"); // "↑↓"
    }
    // Room for the boards in trouble out of view, put each second: as
    // wide as the most there can be.
    int troublePart = -1;
    if (shown < frame->count) {
        troublePart = count;
        Text text = part(kStylePlain);
        for (int i = 0; i < TroubleRoom(frame); i++)
            AppendChar(&text, ' ');
    }
    if (frame->troubleOnly) {
        Text text = part(kStyleWarning);
        AppendText(&text, "in trouble only: ");
        AppendUnsigned(&text, (uint64_t)frame->count);
        AppendText(&text, " of ");
        AppendUnsigned(&text, (uint64_t)frame->watched);
    }
    Text keys = part(kStyleDim);
    AppendText(&keys, "q quit  b ");
    AppendText(&keys, settings->bytes ? "bits" : "bytes");
    AppendText(&keys, settings->graphs && !graphs ? "  g graphs: no room" : "  g graphs");
    AppendText(&keys, "  +/- mark >");
    AppendMark(&keys, settings->markTenths);
    AppendText(&keys, "%  t trouble  ? keys");
    // The keys at the right.
    int column = 0, row = grid->rows - 1, troubleColumn = -1;
    for (int i = 0; i < count; i++) {
        const char *chars = parts[i].chars;
        bool keysPart = i == count - 1;
        if (keysPart && column + Width(chars) > grid->columns)
            chars = column + 14 <= grid->columns ? "q quit  ? keys" : "? keys";
        if (column + Width(chars) > grid->columns)
            continue;
        if (keysPart)
            column = grid->columns - Width(chars);
        if (i == troublePart)
            troubleColumn = column;
        column = PutText(grid, row, column, chars, parts[i].style) + 2;
    }
    return troubleColumn;
}

// Every key, one a line, as the manual page lists them.
static void PutKeys(Grid *grid) {
    static const char *const kKeys[][2] = {
        {"q, Ctrl-C", "quit, the terminal as it was"},
        {"b", "rates in bit/s or in byte/s"},
        {"g", "graphs on or off"},
        {"+, -", "raise or lower the mark"},
        {"t", "only the boards in trouble, or all"},
        {"up, k", "scroll up"},
        {"down, j", "scroll down"},
        {"Ctrl-L", "draw the whole screen again"},
        {"Ctrl-Z", "suspend (fg brings it back)"},
        {"?", "these keys"},
    };
    PutText(grid, 0, 0, "WatchBoards keys (any key to go back)", kStyleBold);
    int row = 1;
    for (const auto &key : kKeys) {
        PutText(grid, row, 0, key[0], kStyleBold);
        PutText(grid, row++, 11, key[1], kStylePlain);
    }
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

// What stays while the frame does: the header, each board's row labels,
// the footer.
static int LayOutFrame(const ScreenFrame *frame, Grid *grid) {
    ClearGrid(grid, grid->rows, grid->columns);
    if (TooSmall(grid)) {
        PutTooSmall(grid);
        return -1;
    }
    if (frame->keys) {
        PutKeys(grid);
        return -1;
    }
    const ViewSettings *settings = &frame->settings;
    PutText(grid, 0, 0, "WatchBoards", kStyleBold);
    PutRight(grid, 0, kLanAEnd, "LanA", kStyleBold);
    PutRight(grid, 0, kLanBEnd, "LanB", kStyleBold);
    PutRight(grid, 0, kDivergenceEnd, kAgainst, kStyleBold);
    if (frame->count == 0)
        PutText(grid, 1, 0,
                frame->troubleOnly ? "No board in trouble." : "No board publishes statistics.",
                kStylePlain);

    Placement placement = PlaceBoards(grid, frame->count, frame->firstBoard, settings);
    for (int i = 0; i < placement.shown; i++) {
        int row = TopRow(&placement, i);
        // The rows of figures reach past the figures' columns already, so
        // that putting the figures each second blanks nothing more.
        for (int r = 1; r <= kFigureRows; r++)
            PutCharacter(grid, row + r, kMarkColumn, ' ', kStylePlain);
        for (int f = 0; f < kFigureCount; f++)
            if (kFigures[f].label != nullptr)
                PutLabel(grid, row + kFigures[f].row, kFigures[f], settings);
        if (placement.graphs)
            for (int lan = 0; lan < kLans; lan++)
                PutText(grid, row + TableRows() + lan, 0, kGraphLabels[lan], kStylePlain);
    }
    return PutFooter(grid, frame, BoardsShown(grid, frame->count, settings),
                     WithGraphs(grid, frame->count, settings));
}

// The boards of the list not shown that are in trouble, for the footer.
static int TroubleOutOfView(const BoardView *const *boards, const ScreenFrame *frame,
                            const Grid *grid) {
    Placement placement = PlaceBoards(grid, frame->count, frame->firstBoard, &frame->settings);
    int count = 0;
    for (int i = 0; i < frame->count; i++)
        if ((i < frame->firstBoard || i >= frame->firstBoard + placement.shown) &&
            InTrouble(boards[i], &frame->settings))
            count++;
    return count;
}

// What changes from one second to the next, laid out on the frame.
static void LayOutFigures(const BoardView *const *boards, const ScreenFrame *frame,
                          uint64_t nowMs, Grid *grid, int troubleColumn, ScreenLayout *kept) {
    if (TooSmall(grid) || frame->keys)
        return;
    if (troubleColumn >= 0) {
        char chars[32];
        Text text = TEXT_IN(chars);
        int count = TroubleOutOfView(boards, frame, grid);
        if (count != 0) {
            AppendUnsigned(&text, (uint64_t)count);
            AppendText(&text, " in trouble");
        }
        int room = TroubleRoom(frame), row = grid->rows - 1;
        PutAscii(grid, row, troubleColumn, chars, (int)text.length, kStyleAlarm);
        for (int column = troubleColumn + (int)text.length; column < troubleColumn + room; column++)
            PutCharacter(grid, row, column, ' ', kStylePlain);
    }
    const ViewSettings *settings = &frame->settings;
    Placement placement = PlaceBoards(grid, frame->count, frame->firstBoard, settings);
    FigureContext context = {settings, nowMs};
    // The figures on the screen, found once.
    static int onScreen[kMostFigures], onScreenCount = -1;
    if (onScreenCount < 0) {
        onScreenCount = 0;
        for (int f = 0; f < kFigureCount && 2 + 2 * onScreenCount + 1 < kSlotsPerBoard; f++)
            if (kFigures[f].row != 0)
                onScreen[onScreenCount++] = f;
    }
    for (int i = 0; i < placement.shown; i++) {
        const BoardView *board = boards[frame->firstBoard + i];
        int row = TopRow(&placement, i);
        // The widths of what the board's places held, when the grid holds
        // what was laid out a second ago: its heading, its graphs' scale,
        // then two for each figure.
        int *was = kept != nullptr && i < kSlotBoards ? kept->widths[i] : nullptr;
        PutTitle(grid, row, board, settings, nowMs, was);
        for (int f = 0; f < onScreenCount; f++) {
            const Figure &figure = kFigures[onScreen[f]];
            PutFigure(grid, row + figure.row, board, figure, &context,
                      was != nullptr ? &was[2 + 2 * f] : nullptr);
        }
        if (placement.graphs)
            PutGraphs(grid, row + TableRows(), board, settings, was != nullptr ? &was[1] : nullptr);
    }
}

ScreenFrame MakeScreenFrame(int count, int firstBoard, int watched, bool troubleOnly, bool keys,
                            ScreenNotice notice, const ViewSettings *settings) {
    ScreenFrame frame;
    memset(&frame, 0, sizeof frame); // compared byte for byte, padding too
    frame.count = count;
    frame.firstBoard = firstBoard;
    frame.watched = watched;
    frame.troubleOnly = troubleOnly;
    frame.keys = keys;
    frame.notice = notice;
    memcpy(&frame.settings, settings, sizeof *settings);
    return frame;
}


void LayOutScreen(const BoardView *const *boards, const ScreenFrame *frame, uint64_t nowMs,
                  Grid *grid) {
    int troubleColumn = LayOutFrame(frame, grid);
    LayOutFigures(boards, frame, nowMs, grid, troubleColumn, nullptr);
}

void LayOutScreenAgain(ScreenLayout *layout, const BoardView *const *boards,
                       const ScreenFrame *frame, uint64_t nowMs, Grid *grid) {
    if (!layout->framed || layout->frame.rows != grid->rows ||
        layout->frame.columns != grid->columns ||
        memcmp(&layout->shown, frame, sizeof *frame) != 0) {
        ClearGrid(&layout->frame, grid->rows, grid->columns);
        layout->troubleColumn = LayOutFrame(frame, &layout->frame);
        layout->framed = true;
        memcpy(&layout->shown, frame, sizeof *frame);
        // The grid as the frame has it: the places hold nothing yet.
        CopyGrid(&layout->frame, grid);
        memset(layout->widths, 0, sizeof layout->widths);
    }
    // Only the grid that this laid out last may be laid out again so.
    LayOutFigures(boards, frame, nowMs, grid, layout->troubleColumn, layout);
}
