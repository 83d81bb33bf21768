// The boards a program is told of on its command line, and the LAN speeds
// given with -s, as WatchBoards, check_prp_hsr and the SNMP agent take
// them; and the small parsers their command lines share.
#ifndef BOARDS_ARGUMENTS_H
#define BOARDS_ARGUMENTS_H

#include <stddef.h>
#include <stdint.h>

// Far more than a machine holds: beyond it, the lowest are watched.
enum { kMostBoards = 1024 };

// A board's LAN speed of its own (-s BOARD=SPEED).
struct BoardSpeed {
    int32_t boardIndex;
    uint64_t bitsPerSecond;
};

struct BoardNames;

struct NamedBoards {
    int boardCount; // 0: every board that publishes
    int32_t boards[kMostBoards];
    uint64_t lanBitsPerSecond; // every board's that has none of its own (-s SPEED)
    int speedCount;
    BoardSpeed speeds[kMostBoards];
    const BoardNames *names; // the boards' names (--names); null: none
};

// Every board, at 1G, until told otherwise.
void StartNamedBoards(NamedBoards *named);

// A board index, taken once however often it is named; returns null, or
// why the argument is refused.
const char *TakeBoard(NamedBoards *named, const char *argument);

// -s's value: SPEED for every board, BOARD=SPEED for one; the last given
// holds.  Returns null, or why the value is refused.
const char *TakeLanSpeed(NamedBoards *named, const char *value);

// The LAN speed of the board, in bit/s: its own, or every board's.
uint64_t SpeedOf(const NamedBoards *named, int32_t boardIndex);

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

// A rate in bit/s with an optional SI prefix (100M, 1G, 2500k), from 1
// bit/s to 1000G.
bool ParseRate(const char *text, uint64_t *bitsPerSecond);

#endif
