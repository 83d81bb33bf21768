// check_prp_hsr's command line, as the Monitoring Plugins development
// guidelines have a plugin's: -w and -c, -t, -h, -V; -s as WatchBoards
// takes it.
#ifndef PLUGIN_COMMAND_LINE_H
#define PLUGIN_COMMAND_LINE_H

#include <stdint.h>

#include "arguments.h"
#include "model.h"
#include "ranges.h"

struct Thresholds {
    Range warning, critical;
};

struct CheckOptions {
    BoardSettings settings;
    NamedBoards named; // with the LAN speeds
    // The size of LanA's rate against LanB's in percent (-w, -c), and the
    // receive errors a second of a LAN (-W, -C).  By default they warn as
    // the boards' verdict does: beyond the mark, at any error.
    Thresholds divergence, errors;
    uint32_t timeoutSeconds;
};

// Fills options from the command line.  Returns -1 to go on, or the status
// to end with: 3, UNKNOWN, after the help or the version, or after the one
// line that says what is wrong with an argument.
int ParseCheckOptions(int argc, char **argv, CheckOptions *options);

// How a plugin's status line begins: the service, then its state.
#define STATUS_LINE_START "PRP-HSR "

#endif
