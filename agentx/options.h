// prp-hsr-agentx's command line.
#ifndef AGENTX_OPTIONS_H
#define AGENTX_OPTIONS_H

#include "arguments.h"
#include "model.h"

struct AgentOptions {
    NamedBoards named; // with the LAN speeds
    BoardSettings settings;
    const char *socket; // the master's AgentX socket; null: Net-SNMP's default
};

// The synopsis, as the usage line says it.
extern const char kAgentSynopsis[];

// Fills options from the command line.  Returns -1 to go on, or the status
// to end with: 0 after --help (which, when it cannot be written, ends the
// program with 1 and a line), 2 after a line on standard error that says
// what is wrong, the argument's control characters escaped, and the usage
// line.
int ParseAgentOptions(int argc, char **argv, AgentOptions *options);

#endif
