// The plugin's answer: one status line, the worst first, with performance
// data after "|", the lines of the long output after it, and the status a
// monitoring system reads.
#ifndef PLUGIN_ANSWER_H
#define PLUGIN_ANSWER_H

#include "between.h"
#include "command_line.h"
#include "text.h"
#include "watcher.h"

// The states of the Monitoring Plugins, as exit statuses.
enum PluginState { kPluginOk = 0, kPluginWarning = 1, kPluginCritical = 2, kPluginUnknown = 3 };

// Appends the answer of the check, its line ends included; returns the
// state.  A check whose state is not kept is UNKNOWN where nothing worse is
// found.
PluginState AppendCheckAnswer(Text *text, const Check *check, const CheckOptions *options,
                              bool stateNotKept);

// The same for the boards looked at, with nothing remembered.
PluginState AppendAnswer(Text *text, const Watch *watch, const CheckOptions *options);

// Appends the answer of a plugin that cannot tell, "PRP-HSR UNKNOWN - "
// and why; returns kPluginUnknown.
PluginState AppendUnknown(Text *text, const char *why);

#endif
