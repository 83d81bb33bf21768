// What a check leaves the next one: for each board it saw, what the next
// needs to tell what happened between them.  Kept as text, a line a board,
// in a file per set of the arguments that change the verdict.  Parsing and
// writing it are plain functions of the text.
//
//   check_prp_hsr state 1
//   checked WALL_MS
//   board INDEX STATE [record ...] [exporter ...] [away SINCE_MS]
//   ...
//   end
//
// record WALL_MS BIT/S LINK_A LINK_B RX_A RX_B TX_A TX_B ERR_A ERR_B: the
//   last publication's moment and its raw 32-bit counters, and the LAN
//   speed taken;
// exporter WALL_MS and for each total (losses, down seconds, errors,
//   received, transmitted) its value of LanA and LanB, "-" where unknown:
//   the exporter's file's, and when it was written;
// away SINCE_MS: the first check that found the board gone or unreadable.
#ifndef PLUGIN_MEMORY_H
#define PLUGIN_MEMORY_H

#include <stddef.h>
#include <stdint.h>

#include "command_line.h"
#include "exporter.h"
#include "model.h"
#include "text.h"

enum { kMemoryVersion = 1 };

struct RememberedBoard {
    int32_t boardIndex;
    BoardState state;
    bool hasRecord;
    uint64_t publishedMs; // the record's publication, on the wall clock
    uint64_t bitsPerSecond;
    uint8_t linkStatus[kLans];
    uint32_t counter[kLans][kCounters];
    bool hasTotals;
    uint64_t writtenMs; // when the exporter's file was written
    BoardTotals totals;
    uint64_t awaySinceMs; // 0: not away
};

struct Memory {
    uint64_t checkedMs; // the check's moment, on the wall clock
    int count;
    RememberedBoard boards[kMostBoards]; // by board index
};

enum MemoryRead { kMemoryWhole, kMemoryDamaged, kMemoryOtherVersion };

// The text of a state file into memory; anything but a whole file of this
// version leaves memory empty.
MemoryRead ParseMemory(const char *bytes, size_t length, Memory *memory);

// The text of memory, as ParseMemory reads it.
void AppendMemory(Text *text, const Memory *memory);

// What the memory holds of the board; null where nothing.
const RememberedBoard *Remembered(const Memory *memory, int32_t boardIndex);

// The name of the state file of these options: 16 hexadecimal digits of a
// hash (FNV-1a, 64 bits) of the arguments that change the verdict, put in
// one order (the boards named in increasing order, the thresholds as
// given, the LAN speeds, the exporter's file, the time a board is
// remembered for), so that a service keeps its own state however its
// arguments are written, and two services with other thresholds do not
// share one.  The time given (-t), the names and where the state is are
// left out.
void AppendStateKey(Text *text, const CheckOptions *options);

#endif
