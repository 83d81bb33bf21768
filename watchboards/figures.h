// WatchBoards' figures, one row each.  A row says all there is of its
// figure: its name in the lines and the JSON, its value and when it is
// known, how it is written, where the screen shows it, when it is trouble
// and how the heading says so, whether it is graphed, and its metric.  The
// screen, the lines, the JSON and the metrics file all walk this one table,
// and none decides a figure on its own: adding a figure is adding a row.
#ifndef WATCHBOARDS_FIGURES_H
#define WATCHBOARDS_FIGURES_H

#include "board_view.h"
#include "grid.h"
#include "text.h"

// How a figure's value is written, wherever it is written.
enum FigureUnit : uint8_t {
    kUnitCount,   // a whole number
    kUnitState,   // a BoardState, as its word
    kUnitLink,    // a link status; the screen says "up" or "down"
    kUnitRate,    // octets a second: bit/s in lines, bytes in a metric, bit/s or byte/s on the screen
    kUnitPercent, // tenths of a percent, LanA against LanB: "12.3" in lines, a ratio in a metric
    kUnitFlag,    // 0 or 1; false or true in JSON
    kUnitSeconds, // a duration; the screen writes "1m02s"
};

// What a board's figures are worked out with besides the board.
struct FigureContext {
    const ViewSettings *settings;
    uint64_t nowMs; // on the monotonic clock
};

// For how long a figure has been as it is: since when, and whether it was
// already so when first seen (then it has been so at least that long).
struct Since {
    uint64_t ms;
    bool atLeast;
};

// A figure as a Prometheus metric: its name, its help, whether a counter
// (which only grows) or a gauge.  Its value is the figure's in the metric's
// own unit (bytes for a rate, a ratio for a percentage).
struct Metric {
    const char *name;
    const char *help;
    bool counter;
};

struct Figure;

// When a figure is trouble, and how it shows: the words in the board's
// heading ("LanB down"), how heavy it is against other trouble (the
// heaviest is said first), and its colour.
struct Trouble {
    bool (*test)(const BoardView *board, int lan, const FigureContext *context);
    void (*words)(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context);
    uint8_t weight;
    CellStyle style; // kStyleAlarm or kStyleWarning
};

struct Figure {
    // In the lines' header and as the JSON key; a LAN's figure has one for
    // each LAN, named with A or B at the end.  Null: not in the lines.
    const char *name;
    bool ofEachLan;
    FigureUnit unit;
    int64_t (*value)(const BoardView *board, int lan, const FigureContext *context);
    bool (*known)(const BoardView *board, int lan);
    // On the screen: the row of a board's block under its heading (0: not
    // on the screen), labelled so.  A LAN's figure shows in LanA's and
    // LanB's columns, a board's in the A−B column.
    int row;
    const char *label;
    // On the screen after the value, how long it has been so (null: not).
    Since (*since)(const BoardView *board, int lan);
    Trouble trouble;   // test null: never trouble
    bool graphed;      // a graph of its last minute under the board's block
    const Metric *metric; // null: not in the metrics file
};

extern const Figure kFigures[];
extern const int kFigureCount;

// The rows of figures under a board's heading on the screen, and the
// graphs (one row for each LAN of each graphed figure) under them.
extern const int kFigureRows;
extern const int kGraphRows;

// Where a figure is written.  Unknown, it is "-" on the screen, empty in a
// line, null in JSON, left out of the metrics; never a 0 not counted.
enum FigureOutput { kOnScreen, kInLine, kInJson, kInMetric };

// Appends the figure of the board (of its LAN lan, for a LAN's figure):
// the one writer of every figure, whatever the output.
void AppendFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context, FigureOutput output);

// A board's block on the screen: its rows' labels, then each LAN's
// figures right-aligned to end before kLanAEnd and kLanBEnd, the board's
// before kBoardEnd, and the mark of one in trouble at kMarkColumn.  Every
// figure fits its column: the rows are checked against them as they are
// built.
enum { kLanAEnd = 20, kLanBEnd = 32, kBoardEnd = 38, kMarkColumn = 39 };
// The most characters a figure takes on the screen, its time included.
enum { kLongestScreenFigure = 16 };

// A value of that unit as the screen writes it (a rate in bit/s, or byte/s,
// with an SI prefix): AppendFigure's way on the screen, for a value of no
// board's (a graph's scale).
void AppendScreenValue(Text *text, FigureUnit unit, int64_t value, const ViewSettings *settings);
void AppendScreenRate(Text *text, uint64_t octetsPerSecond, const ViewSettings *settings);

// Whether a divergence, in tenths of a percent, is beyond the mark.
bool BeyondMark(int64_t tenths, const ViewSettings *settings);

// The word for a board's state, the same wherever it is written.
const char *StateWord(BoardState state);

// A board's trouble now: the figures (and LANs) that are trouble, heaviest
// first.  Returns how many.
struct TroubleSeen {
    const Figure *figure;
    int lan;
};
enum { kMostTroubles = 16 };
int BoardTroubles(const BoardView *board, const FigureContext *context,
                  TroubleSeen troubles[kMostTroubles]);

// A figure's colour on the screen: its trouble's when it is trouble.
CellStyle FigureStyle(const Figure &figure, const BoardView *board, int lan,
                      const FigureContext *context);

// Keeps the last second of each graphed figure in the board's history:
// once a round, after the board's sample.
void KeepGraphs(BoardView *board, const FigureContext *context);

#endif
