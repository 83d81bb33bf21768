// WatchBoards when standard output is not a terminal: one line per board
// per second, tab-separated under a header line, or one JSON object per
// line.  Each line carries the raw counters of the record, what they
// counted since the line before, and the flags the screen shows.
#ifndef WATCHBOARDS_LINES_H
#define WATCHBOARDS_LINES_H

#include "board_view.h"
#include "text.h"

enum LineFormat { kTabSeparated, kJson };

// No line is longer, whatever its numbers.
enum { kLongestLine = 2048 };

// The header line of the tab-separated form; nothing for JSON.
void AppendHeaderLine(Text *text, LineFormat format);

// The line of one board; time is the sample's UTC time, as text.
void AppendBoardLine(Text *text, const BoardView *board, const Text *time,
                     const ViewSettings *settings, LineFormat format);

#endif
