// WatchBoards when standard output is not a terminal: one line per board
// per second, tab-separated under a header line, or one JSON object per
// line.  Each line carries the raw counters of the record, what they
// counted since the line before, and the board's verdict.
#ifndef WATCHBOARDS_LINES_H
#define WATCHBOARDS_LINES_H

#include "show.h"

enum LineFormat { kTabSeparated, kJson };

// A board's name as a JSON member, after a comma: null where it has none.
void AppendNameMember(Text *text, const char *name);

// The header line of the tab-separated form; nothing for JSON.
void AppendHeaderLine(Text *text, LineFormat format);

// The line of one board; time is the round's UTC time, as text.
void AppendBoardLine(Text *text, const Board *board, const char *time,
                     const FigureContext *context, LineFormat format);

#endif
