// What the monitors need of the operating system besides the block, one
// implementation per platform.
#ifndef MONITOR_PLATFORM_H
#define MONITOR_PLATFORM_H

void SleepMilliseconds(unsigned milliseconds);

// The failure lines are wide texts on Windows; they show as plain text, in
// order, on standard output.
void PrintFailureLine(const char *line);

#endif
