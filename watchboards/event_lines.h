// What happened, as WatchBoards --events says it: a line for each event the
// boards library noted in a round, in the order they happened.
#ifndef WATCHBOARDS_EVENT_LINES_H
#define WATCHBOARDS_EVENT_LINES_H

#include "events.h"
#include "lines.h"

// How a line is marked for the journal: not at all, or with the priority
// journald reads ("<4>" a warning, "<5>" a notice, "<6>" news), JSON too.
enum EventsFor { kForReaders, kForJournal };

// The events, a line each.  nowMs on the monotonic clock is wallMs on the
// wall clock (milliseconds since 1970), to tell when each happened.
void AppendEvents(Text *text, const BoardEvent *events, int count, uint64_t nowMs, uint64_t wallMs,
                  LineFormat format, EventsFor reader);

#endif
