// The board a board tool works on, and the start every board tool shares.
#ifndef COMMON_BOARD_H
#define COMMON_BOARD_H

#include <stdint.h>

// The address qvgpio knows a board by: the low 8 bits of boardIndex plus
// 0x58, modulo 256 (board 0 is 0x58, board 168 is 0x00, board -1 is 0x57).
uint8_t BoardAddress(int32_t boardIndex);

// boardIndex given on the command line, converted as _wtol converts it:
// leading white space, an optional sign, the digits up to the first other
// character; no digits give 0, and a number beyond 32 bits is clamped to
// the nearest limit.
int32_t BoardIndexFromArgument(const char *argument);

// The start of a board tool: the service guard, then "Enter the boardIndex:"
// and the board index typed.  While the statistics service runs, it prints
// the guard's two lines and ends the program with status 1 instead.
// Returns the board's address.
uint8_t StartBoardTool(void);

// The same for a mode switch, which takes the board index from its first
// argument when it has one, without asking.  A first argument that looks
// like an option ("-" and no digit after it, or "/"), or that is empty or
// only white space, is refused after the guard: the usage line on standard
// error, and status 2.
uint8_t StartModeSwitch(int argc, char **argv);

#endif
