// check_prp_hsr's command line, as the Monitoring Plugins development
// guidelines have a plugin's: -w and -c, -t, -h, -V; -s as WatchBoards
// takes it; where the plugin keeps what the next check needs, and the
// exporter's file it reads the link losses from.
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
    // Links lost since the last check, of a LAN (--losses-warning,
    // --losses-critical): by default one warns, three are critical.
    Thresholds losses;
    uint32_t timeoutSeconds;
    // Where the state is kept (--state-dir; null: the default), or whether
    // none is (--no-state).
    const char *stateDir;
    bool noState;
    // The exporter's metrics file (--textfile; null: the default where it
    // exists; "": none).
    const char *textfile;
    // A board gone that long is forgotten (--forget).
    uint64_t forgetSeconds;
};

// Fills options from the command line.  Returns -1 to go on, or the status
// to end with: 3, UNKNOWN, after the help or the version, or after the one
// line that says what is wrong with an argument.
int ParseCheckOptions(int argc, char **argv, CheckOptions *options);

// How a plugin's status line begins: the service, then its state.
#define STATUS_LINE_START "PRP-HSR "

#endif
