// WatchBoards' round once a second: follow which boards there are, take a
// sample of each, and show them, on the screen or as lines.
#ifndef WATCHBOARDS_WATCHING_H
#define WATCHBOARDS_WATCHING_H

#include "options.h"

// Each returns the program's exit status: 0 once the samples asked for are
// shown, on q or on a request to end; 1 when standard output fails.
int WatchInLines(const ViewOptions *options);
// The metrics file, the events or both instead: 1 as well when the file
// cannot be written.
int WatchWithoutScreen(const ViewOptions *options);
int WatchOnScreen(ViewOptions *options);

#endif
