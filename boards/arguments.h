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

// A program's command line: its options, what it makes of one (by its
// short name, with its value, null for an option that takes none: -1 to go
// on, or the status to end with), and how it refuses an argument, and why
// (the status to end with).
struct CommandLine {
    const Option *options;
    int count;
    int (*apply)(void *settings, char name, const char *value);
    int (*refuse)(const char *why, const char *argument);
};

// Takes the arguments after the program's name: board indexes (a negative
// one too) into named, "--" after which every argument is one, and the
// options: short ones together as the synopses show them ("-bG"), one that
// takes a value taking the rest of its argument ("-s10G") or the next one,
// a long one with "=VALUE" ("--lan-speed=10G") or the next.  Returns -1
// once all are taken, else the status to end with.
int TakeArguments(int argc, char **argv, const CommandLine *line, NamedBoards *named,
                  void *settings);

// The command line's arguments in UTF-8, as file names are kept: on Linux
// argv as it is; on Windows read again from the wide command line, since
// argv came through the ANSI code page, which loses the letters outside it
// (a Greek folder's name) or puts others in their place (Lodz for Łódź).
char **ArgumentsInUtf8(int argc, char **argv);

// A whole decimal number, at most most; with allowTenths one decimal may
// follow a point, and the value is in tenths.
bool ParseNumber(const char *text, uint64_t most, bool allowTenths, uint64_t *value);

// A rate in bit/s with an optional SI prefix (100M, 1G, 2500k), from 1
// bit/s to 1000G.
bool ParseRate(const char *text, uint64_t *bitsPerSecond);

#endif
