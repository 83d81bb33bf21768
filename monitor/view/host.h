// What WatchBoards needs of the operating system besides the terminal and
// the blocks themselves, one implementation per platform.
#ifndef VIEW_HOST_H
#define VIEW_HOST_H

#include <stdint.h>

// The boards whose block exists now, in increasing order, at most most of
// them.  Linux lists the blocks; Windows, which cannot list named objects,
// tries boards 0 to 15.
int ListPublishedBoards(int32_t *boardIndices, int most);

// Milliseconds on a clock that only goes forward.
uint64_t MonotonicMilliseconds(void);

// From now on, the signals that ask a program to end (Ctrl-C, SIGTERM,
// SIGHUP; the console's close on Windows) only set what EndRequested tells,
// and cut short a wait, so that the program ends in its own way.
void CatchEndRequests(void);
bool EndRequested(void);

// Waits that long, or until an end is requested.
void WaitMilliseconds(uint32_t milliseconds);

#endif
