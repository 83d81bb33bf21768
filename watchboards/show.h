// How WatchBoards writes the boards library's figures: the one writer of
// every figure, whatever the output (the screen, a line, JSON, a metric),
// and where the screen shows each, in a board's block and in its line.
#ifndef WATCHBOARDS_SHOW_H
#define WATCHBOARDS_SHOW_H

#include "figures.h"
#include "grid.h"
#include "text.h"

// What the user chose: for the boards, and for the screen alone.
struct ViewSettings {
    BoardSettings boards;
    bool bytes;  // rates in byte/s instead of bit/s
    bool graphs; // a graph of the last minute under each block
};

// Where a figure is written.  Unknown, it is "-" on the screen, empty in a
// line, null in JSON, left out of the metrics; never a 0 not counted.
enum FigureOutput { kInLine, kInJson, kInMetric };

// Appends the board's figure (of its LAN lan, for a LAN's figure) to a
// line, JSON or a metric: bit/s in a line and bytes in a metric for a rate,
// one decimal in a line and a ratio in a metric for a percentage.  Inline,
// so that a line or a file, which write thousands a second, pay no call.
inline void AppendFigure(Text *text, FigureId id, const Board *board, int lan,
                         const FigureContext *context, FigureOutput output) {
    int64_t value;
    if (!FigureValue(id, board, lan, context, &value)) {
        if (output == kInJson)
            AppendText(text, "null");
        return;
    }
    bool json = output == kInJson, metric = output == kInMetric;
    switch (kFigures[id].unit) {
    case kUnitState:
        AppendText(text, json ? "\"" : "");
        AppendText(text, StateWord((BoardState)value));
        AppendText(text, json ? "\"" : "");
        break;
    case kUnitRate: // octets a second: bit/s in lines, bytes in a metric
        AppendDecimal(text, metric ? value : value * 8, 0);
        break;
    case kUnitPercent: // tenths: one decimal in lines, a ratio in a metric
        AppendDecimal(text, value, metric ? 3 : 1);
        break;
    case kUnitFlag:
        if (json)
            AppendText(text, value != 0 ? "true" : "false");
        else
            AppendDecimal(text, value != 0, 0);
        break;
    case kUnitCount:
    case kUnitLink:
    case kUnitSeconds:
        AppendDecimal(text, value, 0);
        break;
    }
}

// The same on the screen, in at most width characters: a rate in bit/s or
// byte/s with an SI prefix, a link "up" or "down", a count shortened with
// an SI prefix where its digits do not fit.
void AppendScreenFigure(Text *text, FigureId id, const Board *board, int lan,
                        const FigureContext *context, const ViewSettings *view, int width);

// A value of that unit as the screen writes it, for a value of no board's
// (a graph's scale).
void AppendScreenValue(Text *text, FigureUnit unit, int64_t value, const ViewSettings *view,
                       int width);

// A severity's colour on the screen: critical red, a warning yellow.
inline CellStyle StyleOf(Severity severity) {
    return severity == kCritical ? kStyleAlarm : severity == kWarning ? kStyleWarning : kStylePlain;
}

// Where the screen shows a figure, in the order of the line view's columns:
// in a board's block, the row under its heading (0: not there) and its
// label; in a board's line, its heading (a LAN's figure has a column for
// each LAN, its heading followed by A or B; null: not there), and whether
// it is one of the essentials that fit 80 columns; and whether its last
// minute is graphed under the block.
struct ShownFigure {
    FigureId figure;
    int row;
    const char *label;
    const char *heading;
    bool essential;
    bool graphed;
};
inline constexpr ShownFigure kShownFigures[] = {
    // figure, row, label, heading, essential, graphed
    {kFigureLinkStatus, 1, "link", "Lan", true, false},
    {kFigureRxRate, 2, "rx", "rx ", true, true},
    {kFigureRxDivergence, 2, nullptr,
     "A\xe2\x88\x92"
     "B",
     true, false}, // U+2212
    {kFigureErrorsPerSecond, 4, "err/s", "err ", true, false},
    {kFigureLinkLosses, 6, "link lost", "lost", true, false},
    {kFigureTxRate, 3, "tx", "tx ", false, false},
    {kFigureTxDivergence, 3, nullptr,
     "A\xe2\x88\x92"
     "B",
     false, false},
    {kFigureLinkDownSeconds, 7, "down for", "down", false, false},
    {kFigureRxErrSinceStart, 5, "errors", nullptr, false, false},
};

// A board's block on the screen: its rows' labels, then each LAN's
// figures right-aligned to end before kLanAEnd and kLanBEnd, the board's
// before kBoardEnd, and the mark of one in trouble at kMarkColumn.
enum { kLanAEnd = 20, kLanBEnd = 32, kBoardEnd = 38, kMarkColumn = 39 };

// The rows of figures under a board's heading, and the graphs (one row for
// each LAN of each graphed figure) under them.
constexpr int LastFigureRow() {
    int last = 0;
    for (const ShownFigure &shown : kShownFigures)
        last = shown.row > last ? shown.row : last;
    return last;
}
constexpr int kFigureRows = LastFigureRow();
enum { kGraphs = 1 };
constexpr int kGraphRows = kGraphs * kLans;

// The most characters a figure takes on the screen, its time included.
enum { kLongestScreenFigure = 16 };

// The characters a figure of that unit takes at most where a count may
// take countWidth, and with a time after it ("since").
constexpr int ScreenWidth(FigureUnit unit, int countWidth, bool since) {
    // a count; a state "unreadable"; a link "down" (or a number up to 255);
    // a rate "999.9 k"; a percentage "+100%"; a flag; a duration
    const int kWidths[] = {countWidth, 10, 4, 7, 5, 1, kLongestDuration};
    return kWidths[unit] + (since ? 2 + kLongestDuration : 0);
}

// The narrowest a count may be written: shortened, "999k", "1.5M".
enum { kNarrowestCount = 4, kBlockCountWidth = 10 };

#endif
