// A look at the boards over one publication of the statistics service,
// through the boards library's watch: the first round takes each board's
// record; the next, what the board's next publication counted.
#ifndef PLUGIN_LOOK_H
#define PLUGIN_LOOK_H

#include "command_line.h"
#include "watcher.h"

// Enough for a board faster than its speed, which three publications in a
// row tell (model.h), and for a stale one (the stale time is two periods
// and a half).
enum { kMostRounds = 5 };

// The longest a look lasts: the first round at once, the first
// publication within a period and a read, the second round half a period
// after it, then a round a period.  A time (-t) shorter than that is no
// time for a check.
enum {
    kLongestLookMs =
        kPublishingPeriodMs + kReadMs + kHalfPeriodMs + (kMostRounds - 2) * kPublishingPeriodMs
};

// False when no board is published at all: none was named and none
// publishes, or none of those named has a block and no other board
// publishes either (the statistics service is not running).  Otherwise each
// board is known as well as one publication tells: its record gone, short,
// unreadable, stale or silent, or its rates taken.  Waits for one more
// publication of a board that needs it (a reset, a board faster than its
// speed) for a few periods at most.
bool LookAtBoards(const CheckOptions *options, Watch *watch);

#endif
