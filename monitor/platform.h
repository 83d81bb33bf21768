// What the monitors need of the operating system, one implementation per
// platform.  Each opening step returns 0 or the operating system's error
// code, taken right after the step failed.
#ifndef MONITOR_PLATFORM_H
#define MONITOR_PLATFORM_H

#include <stdint.h>

#include "prp_value.h"

typedef intptr_t StatisticsHandle;

// Opens the existing block of the board with all access; never creates it.
int OpenStatisticsBlock(int32_t boardIndex, StatisticsHandle *block);

// Maps the whole record, shared and writable, from the start of the block.
int MapStatisticsRecord(StatisticsHandle block, const PrpValue **record);

void CloseStatisticsBlock(StatisticsHandle block);

void SleepMilliseconds(unsigned milliseconds);

// The failure lines are wide texts on Windows; they show as plain text, in
// order, on standard output.
void PrintFailureLine(const char *line);

#endif
