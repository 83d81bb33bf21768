// The plugin's answer: one status line, the worst first, with performance
// data after "|", and the status a monitoring system reads.
#ifndef PLUGIN_ANSWER_H
#define PLUGIN_ANSWER_H

#include "command_line.h"
#include "text.h"
#include "watcher.h"

// The states of the Monitoring Plugins, as exit statuses.
enum PluginState { kPluginOk = 0, kPluginWarning = 1, kPluginCritical = 2, kPluginUnknown = 3 };

// Appends the answer for the boards looked at, its line end included;
// returns the state.
PluginState AppendAnswer(Text *text, const Watch *watch, const CheckOptions *options);

// Appends the answer of a plugin that cannot tell, "PRP-HSR UNKNOWN - "
// and why; returns kPluginUnknown.
PluginState AppendUnknown(Text *text, const char *why);

#endif
