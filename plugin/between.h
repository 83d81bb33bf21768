// What happened between the last check and this one: the boards the check
// tells of (those looked at, and those the last check saw that are gone
// now), and for each what it counted since, worked out from what the last
// check left (memory.h), the look and the exporter's file.  Plain functions
// of those and the clocks, so that tests give them their own.
#ifndef PLUGIN_BETWEEN_H
#define PLUGIN_BETWEEN_H

#include <stdint.h>

#include "command_line.h"
#include "exporter.h"
#include "memory.h"
#include "watcher.h"

// A board's figures since the last check, each where it is known.
struct Between {
    bool errorsKnown;
    uint64_t errors[kLans], errorsPerSecond[kLans]; // a second rounded up
    bool ratesKnown;
    uint64_t perSecond[kLans][kRxErrors]; // octets a second received and sent
    // Whether LanA's rate of a counter is compared with LanB's: both links
    // up at both checks, none lost between where that is known, and the
    // busier LAN carrying over kLeastComparedOctets a second.
    bool compared[kRxErrors];
    bool lossesKnown;
    uint64_t losses[kLans], downSeconds[kLans];
};

struct CheckedBoard {
    const Board *board;
    Between between;
    // Of a board gone or unreadable: since when, on the wall clock, the
    // first check that found it so.
    uint64_t awaySinceMs;
};

// What the check is worked out from.
struct Sources {
    const Watch *watch;
    const Memory *memory; // null: none (a first check, or no state)
    // The exporter's file, and when it was written; null: not read.
    const ExporterFile *file;
    uint64_t writtenMs;
    // The check's moment on the wall clock, and on the monotonic clock
    // the look was timed by.
    uint64_t nowMs, monotonicMs;
};

struct Check {
    uint64_t nowMs;
    uint64_t roundMs; // the look's last round, on the monotonic clock
    int count;
    CheckedBoard boards[kMostBoards]; // in order of board index
    // The lines of the long output, each with its line end: what the
    // status line has no room for.
    Text notes;
};

// Works out the check: the boards, their figures since the last check, and
// the notes on the long output (a board not seen by the last check, its
// counters reset, back after a while away, forgotten).  A board of the
// memory that the look did not see (none was named, and it no longer
// publishes) is gone; gone longer than --forget, it is forgotten, said once.
void WorkOutCheck(const Sources *sources, const CheckOptions *options, Check *check);

// What the next check needs of this one.
void Remember(const Check *check, const Sources *sources, Memory *next);

#endif
