// Console input shared by every program: one decimal number per prompt.
#ifndef COMMON_CONSOLE_H
#define COMMON_CONSOLE_H

#include <stdint.h>

// Reads one decimal integer from standard input as "%d" reads it: white space
// (line ends too) is skipped, then an optional sign and the digits; the rest
// of the line is left for the next read.  Input that is not a number gives 0
// and stays unread, so every later read of the run gives 0 too; so does the
// end of input.  A number beyond 32 bits keeps its low 32 bits.
// Standard output is flushed first, so that the prompt shows.
int32_t ReadDecimal(void);

// A selection (port code, counter): only the low 8 bits of the number count.
uint8_t ReadSelection(void);

// The characters a number may be preceded by and made of, typed or given as
// an argument.
inline bool IsWhiteSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }

#endif
