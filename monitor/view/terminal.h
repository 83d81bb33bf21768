// The terminal WatchBoards draws its screen on, one implementation per
// platform.  Both take the same VT sequences: a Linux terminal as it is, a
// Windows console once its virtual terminal processing is on (Windows 10
// and later).
#ifndef VIEW_TERMINAL_H
#define VIEW_TERMINAL_H

#include <stddef.h>
#include <stdint.h>

// When standard output is a terminal: reads keys from standard input
// without echo, one at a time, switches to the alternate screen and hides
// the cursor; returns true.  False, with nothing changed, otherwise.  The
// screen is drawn on standard output.  However the program ends, the
// terminal is left as OpenScreen found it.
bool OpenScreen(void);

// The terminal's size in character cells.
void ScreenSize(int *rows, int *columns);

// What ReadKey returns besides the characters typed.
enum {
    kNoKey = 0, // the time is up, or an end is requested
    kKeyUp = 0x110000,
    kKeyDown,
    kKeyResized, // the terminal changed size
};

// The next key typed, waiting at most timeoutMs.
int ReadKey(uint32_t timeoutMs);

#endif
