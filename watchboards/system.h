// What WatchBoards needs of the operating system besides the blocks: the
// clock, the requests to end, and the terminal it draws its screen on.  One
// implementation per platform.  Both terminals take the same VT sequences
// (grid.h): a Linux terminal as it is, a Windows console once its virtual
// terminal processing is on (Windows 10 and later).
#ifndef WATCHBOARDS_SYSTEM_H
#define WATCHBOARDS_SYSTEM_H

#include <stddef.h>
#include <stdint.h>

#include "clock.h"
#include "grid.h"

// Whether standard output is the journal's stream (systemd's JOURNAL_STREAM
// names it), which reads a priority at the start of each line.
bool OutputIsJournal(void);

// How much what WatchBoards says on standard error weighs, as the journal's
// priorities (syslog's) have it: a failure that ends the program; a warning
// or a notice that it goes on after (a second skipped, a board unreadable;
// a speed taken, no screen).
enum SaidPriority { kSaidEnds = 3, kSaidWarning = 4, kSaidNotice = 5 };

// Every line WatchBoards says on standard error goes through here: where
// standard error is the journal's stream, each of the lines starts with its
// priority (<3>), so that journalctl -p warning shows the failures;
// elsewhere they go as they are (on a Windows console as wide text, which
// shows whatever its code page).
void SayOnError(SaidPriority priority, const char *lines);

// From now on, the signals that ask a program to end (Ctrl-C, SIGTERM,
// SIGHUP; the console's close on Windows) only set what EndRequested tells,
// and cut short a wait, so that the program ends in its own way.
void CatchEndRequests(void);
bool EndRequested(void);

// Waits that long, or until an end is requested.
void WaitMilliseconds(uint32_t milliseconds);

// Replaces the file at path with these bytes in one step: they are written
// whole to a temporary file made afresh beside it, readable by all, which
// is then renamed over it, so that a reader never sees it half written and
// a link at path is replaced, not followed.  The temporary's name is one no
// other process can guess or take first, that no collector reads (it does
// not end in .prom), and that is never too long, whatever path's name.
// False, with nothing left behind, after a line on standard error that
// names the file that failed (path, or the temporary), its control
// characters escaped, and why.  A signal that would end the program while
// the temporary is there waits until it is gone (Linux).  On Windows a reader that holds the file
// without sharing its deletion (windows_exporter, a virus scanner) keeps it
// from being replaced: that is tried again for up to a second, then the
// second is skipped (said once on standard error), the last whole file
// left in place; held for 60 s in a row, the file fails.
bool ReplaceWholeFile(const char *path, const char *bytes, size_t count);

// Writes all of it to standard output, going on where a signal interrupted
// a write.  An end requested while a write waits ends the program at once,
// with status 0; output that fails ends it with status 1 and a line.
void WriteOutput(const char *bytes, size_t count);

// When standard output is a terminal that can address the cursor: reads
// keys from standard input without echo, one at a time, switches to the
// alternate screen and hides the cursor, and says what else the terminal
// can show; returns true.  False, with nothing changed, otherwise.  The
// screen is drawn on standard output.  However the program ends, the
// terminal is left as OpenScreen found it.  On Linux, Ctrl-Z (or SIGTSTP)
// leaves it so while the program is stopped; continued, the screen is back,
// and the next key is kKeyResized.
// When standard output is a terminal that cannot be a screen, false with
// *whyNot saying why ("TERM=dumb cannot address the cursor").
bool OpenScreen(TerminalAbilities *abilities, const char **whyNot);

// Where there is no screen: reads keys from standard input when it is a
// terminal, one at a time without echo, the terminal left as it was
// however the program ends; false when it is not.
bool OpenKeys(void);

// Leaves the terminal as OpenScreen found it, before the program ends.
void LeaveScreen(void);

// The terminal's size in character cells.
void ScreenSize(int *rows, int *columns);

// What ReadKey returns besides the characters typed.
enum {
    kNoKey = 0, // the time is up, or an end is requested
    kKeyUp = 0x110000,
    kKeyDown,
    kKeyPageUp,
    kKeyPageDown,
    kKeyHome,
    kKeyEnd,
    kKeyResized, // the terminal changed size
};

// The next key typed, waiting at most timeoutMs.
int ReadKey(uint32_t timeoutMs);

#endif
