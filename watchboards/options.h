// WatchBoards' command line.
#ifndef WATCHBOARDS_OPTIONS_H
#define WATCHBOARDS_OPTIONS_H

#include "arguments.h"
#include "lines.h"

struct ViewOptions {
    ViewSettings view;
    NamedBoards named; // with the LAN speeds
    LineFormat format;
    bool lines; // lines even on a terminal
    // The metrics file, replaced after every sample, instead of the screen
    // or lines; null when not asked for.
    const char *textfile;
    bool events;      // a line for each change seen, on standard output
    uint32_t samples; // 0: until stopped
};

// Fills options from the command line.  Returns -1 to go on, or the status
// to end with: 0 after --help (which, when it cannot be written, ends the
// program with 1 and a line), 2 after a line on standard error for a bad
// option or argument.
int ParseOptions(int argc, char **argv, ViewOptions *options);

#endif
