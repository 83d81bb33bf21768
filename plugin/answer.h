// The plugin's answer: one status line, the worst first, with performance
// data after "|", and the status a monitoring system reads.
#ifndef PLUGIN_ANSWER_H
#define PLUGIN_ANSWER_H

#include "board_view.h"
#include "command_line.h"
#include "text.h"

// The states of the Monitoring Plugins, as exit statuses.
enum PluginState { kOk = 0, kWarning = 1, kCritical = 2, kUnknown = 3 };

// Appends the answer for the boards looked at, its line end included;
// returns the state.
PluginState AppendAnswer(Text *text, const BoardView *boards, int count,
                         const CheckOptions *options);

// Appends the answer of a plugin that cannot tell, "PRP-HSR UNKNOWN - "
// and why; returns kUnknown.
PluginState AppendUnknown(Text *text, const char *why);

#endif
