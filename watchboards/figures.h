// WatchBoards' figures, one row each: what a figure is called in the lines
// and the JSON, where the screen shows it, how it is written, how it comes
// from a board's samples, and when it is unknown.  The screen, the lines and
// the JSON all walk this one table, so that they cannot disagree; adding a
// figure is adding a row.
#ifndef WATCHBOARDS_FIGURES_H
#define WATCHBOARDS_FIGURES_H

#include "board_view.h"
#include "text.h"

// How a figure's number is written.
enum FigureUnit : uint8_t {
    kUnitCount,   // a number
    kUnitState,   // a BoardState, as a word
    kUnitLink,    // a link status; the screen says "up" or "down", and since when
    kUnitRate,    // octets a second; the screen writes bit/s or byte/s with an SI prefix
    kUnitPercent, // tenths of a percent, LanA against LanB; marked beyond the mark
    kUnitFlag,    // 0 or 1; false or true in JSON
};

// When a figure is known.  Unknown, the line leaves it empty, JSON says
// null, the screen "-": never a 0 that was not counted.
enum FigureKnown : uint8_t {
    kKnownAlways,
    kKnownOnceSampled, // a whole record has been seen (a total stays known)
    kKnownWithRecord,  // a whole record has been seen, and the block is there
    kKnownWithStep,    // the last two samples gave differences
};

// A figure as a Prometheus metric: its name, its help, and whether it is a
// counter (which only grows) or a gauge.
struct Metric {
    const char *name;
    const char *help;
    bool counter;
};

struct Figure {
    // In the lines' header and as the JSON key; a LAN's figure has one for
    // each LAN, named with A or B at the end.  Null: on the screen only.
    const char *name;
    bool ofEachLan;
    FigureUnit unit;
    FigureKnown known;
    int64_t (*value)(const BoardView *board, int lan, const ViewSettings *settings);
    // On the screen: the row of a board's block, under its title (0: not on
    // the screen), and the row's label, given by a LAN's figure.  A LAN's
    // figure shows in LanA's and LanB's column, a board's in the A−B column.
    int row;
    const char *label;
    // In the metrics file (null: not there), labelled with the board, and
    // the LAN for a LAN's figure; a state is a gauge for each state word.
    const Metric *metric = nullptr;
    // When the figure is trouble (null: never), shown as an alarm.
    bool (*trouble)(const BoardView *board, int lan, const ViewSettings *settings) = nullptr;
};

extern const Figure kFigures[];
extern const int kFigureCount;
enum { kMostFigures = 40 }; // kFigureCount is at most this
// The rows of figures under a board's title on the screen.
extern const int kFigureRows;

// Which of the FigureKnown a board's figures are known with, a bit each.
inline unsigned KnownFigures(const BoardView *board) {
    return 1u << kKnownAlways | (unsigned)board->sampled << kKnownOnceSampled |
           (unsigned)(board->sampled && board->state != kBoardGone) << kKnownWithRecord |
           (unsigned)board->stepped << kKnownWithStep;
}

inline bool FigureKnownFor(const Figure &figure, const BoardView *board) {
    return KnownFigures(board) >> figure.known & 1;
}

// Whether a divergence, in tenths of a percent, is beyond the mark.
bool BeyondMark(int64_t tenths, const ViewSettings *settings);

// Trouble on a board, heaviest first: its block gone or short, a link down
// (status 0), stale, receive or transmit divergence beyond the mark, errors
// in the last second.  Each as the board's heading says it ("LanB down",
// "rx +20%"); an alarm, or a warning (a block gone, short or stale).
struct Trouble {
    char text[24];
    bool alarm;
};
enum { kMostTroubles = 8 };
int BoardTroubles(const BoardView *board, const ViewSettings *settings, uint64_t nowMs,
                  Trouble troubles[kMostTroubles]);
bool InTrouble(const BoardView *board, const ViewSettings *settings);

// The word for a board's state, the same wherever it is written.
const char *StateWord(BoardState state);

// A rate as the screen writes it: in bit/s, or byte/s, with an SI prefix.
void AppendScreenRate(Text *text, uint64_t octetsPerSecond, const ViewSettings *settings);

// Where a figure is written, each in its own way.
enum FigureOutput { kOnScreen, kInLine, kInJson };

// What a figure is written with besides its board.
struct FigureContext {
    const ViewSettings *settings;
    uint64_t nowMs; // for how long a link has been so
};

// Appends the figure of the board, of its LAN lan for a LAN's figure.
void AppendFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context, FigureOutput output);

// The longest a figure is written, anywhere.
enum { kLongestFigure = 40 };

// In lines and JSON a count, a link status and a rate are plain numbers,
// the rate in bit/s: its value times this.  0 for a figure that is not.
inline int PlainNumberScale(const Figure &figure) {
    return figure.unit == kUnitCount || figure.unit == kUnitLink ? 1
           : figure.unit == kUnitRate                            ? 8
                                                                 : 0;
}

#endif
