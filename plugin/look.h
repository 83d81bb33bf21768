// A look at the boards over one publication of the statistics service, as
// WatchBoards watches them (board_view.h, rounds.h): each board's record
// read ten times a second, the rounds half a period after the service
// publishes.  The first round takes each board's record; the next, what the
// board's next publication counted.
#ifndef PLUGIN_LOOK_H
#define PLUGIN_LOOK_H

#include "board_view.h"
#include "command_line.h"
#include "reading.h"

struct Look {
    int count; // the boards looked at: as named, or those published, in increasing order
    BoardView views[kMostBoards];
    BoardBlock blocks[kMostBoards];
};

// False when no board is published at all: none was named and none
// publishes, or none of those named has a block and no other board
// publishes either (the statistics service is not running).  Otherwise each
// board is known as well as one publication tells: its record gone, short,
// unreadable, or stale, or its rates taken.  Waits for one more publication
// of a board that needs it (a reset, a board faster than its speed) for a
// few periods at most.
bool LookAtBoards(const CheckOptions *options, Look *look);

#endif
