// The time a plugin is given (-t), its clock and its waits: what differs
// between the platforms, one file each.
#ifndef PLUGIN_DEADLINE_H
#define PLUGIN_DEADLINE_H

#include <stdint.h>

// Once that many seconds have passed, the program writes line (a whole
// line, its end included) on standard output and ends with status 3,
// UNKNOWN, whatever it is doing: a plugin must answer in its time, and the
// monitoring system's own timeout would say less.
void SetDeadline(uint32_t seconds, const char *line);

// The answer is about to be written: from now on the deadline ends
// nothing, and the answer is never mixed with its line.
void ClearDeadline(void);

// Waits that long.
void PauseMilliseconds(uint32_t milliseconds);

#endif
