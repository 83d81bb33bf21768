// The AgentX subagent, through Net-SNMP's agent library: the lre objects of
// the boards a watch reads, registered with the master agent and answered
// from the watch as it is when the master asks.
#ifndef AGENTX_SUBAGENT_H
#define AGENTX_SUBAGENT_H

#include <stdint.h>

#include "watcher.h"

// Registers the objects of the watch's boards with the master at socket
// (null: Net-SNMP's default, /var/agentx/master), or says on standard error
// that it will as soon as the master is there, trying every second.  False,
// after a line that says why, when the library cannot start.
bool StartSubagent(const char *socket, const Watch *watch);

// Answers the master, and connects to it again when it has gone, until
// dueMs on the monotonic clock or until an end is requested.
void ServeUntil(uint64_t dueMs);

// The watch has stepped: its boards are looked at again for the next
// answer.
void BoardsStepped(void);

// Tells the master the subagent is leaving.
void EndSubagent(void);

#endif
