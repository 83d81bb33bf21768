// WatchBoards' command line.
#ifndef WATCHBOARDS_OPTIONS_H
#define WATCHBOARDS_OPTIONS_H

#include <stddef.h>
#include <stdint.h>

#include "board_view.h"
#include "lines.h"

// Far more than a machine holds: beyond it, the lowest are watched.
enum { kMostBoards = 1024 };

// A board's LAN speed of its own (-s BOARD=SPEED).
struct BoardSpeed {
    int32_t boardIndex;
    uint64_t bitsPerSecond;
};

// The boards named on a command line and the LAN speeds given with -s, as
// WatchBoards and check_prp_hsr take them.
struct NamedBoards {
    int boardCount; // 0: every board that publishes
    int32_t boards[kMostBoards];
    int speedCount;
    BoardSpeed speeds[kMostBoards];
};

struct ViewOptions {
    ViewSettings settings; // with the LAN speed of every other board
    LineFormat format;
    bool lines;       // lines even on a terminal
    // The metrics file, replaced after every sample, instead of the screen
    // or lines; null when not asked for.
    const char *textfile;
    bool events; // a line for each change seen, on standard output
    uint32_t samples; // 0: until stopped
    NamedBoards named;
};

// Fills options from the command line.  Returns -1 to go on, or the status
// to end with: 0 after --help (which, when it cannot be written, ends the
// program with 1 and a line), 2 after a line on standard error for a bad
// option or argument.
int ParseOptions(int argc, char **argv, ViewOptions *options);

// -s's value: SPEED for every board (into settings), BOARD=SPEED for one;
// the last given holds.  Returns null, or why the value is refused.
const char *TakeLanSpeed(NamedBoards *named, ViewSettings *settings, const char *value);

// A board index, taken once however often it is named; returns null, or
// why the argument is refused.
const char *TakeBoard(NamedBoards *named, const char *argument);

// The LAN speed of the board, in bit/s: its own, or every board's.
uint64_t SpeedOf(const NamedBoards *named, const ViewSettings *settings, int32_t boardIndex);

// An option of a command line: its short name, its long one, and whether
// it takes a value.
struct Option {
    char shortName;
    const char *longName;
    bool takesValue;
};

// The option of those count whose long name is the length characters at
// name; null when none is.
const Option *LongOption(const Option *options, int count, const char *name, size_t length);

// A whole decimal number, at most most; with allowTenths one decimal may
// follow a point, and the value is in tenths.
bool ParseNumber(const char *text, uint64_t most, bool allowTenths, uint64_t *value);

// A LAN speed as -s takes it, in bit/s with an optional SI prefix (100M,
// 1G, 2500k), from 1 bit/s to 1000G.
bool ParseRate(const char *text, uint64_t *bitsPerSecond);

#endif
