#include "options.h"

#include <stdio.h>
#include <string.h>

#include "console.h"
#include "file_name.h"
#include "names.h"

const char kAgentSynopsis[] =
    "[-h] [-s [BOARD=]SPEED] [-x SOCKET] [--names FILE] [boardIndex...]";

static const char kHelp[] =
    "usage: prp-hsr-agentx [options] [boardIndex...]\n"
    "An AgentX subagent: serves the statistics that the statistics service\n"
    "publishes for each board (those named, or every board that publishes) to\n"
    "the SNMP master agent, as the lre objects of IEC 62439-3 by their numeric\n"
    "OIDs: lreInterfaceCount and a row per board of lreInterfaceConfigTable\n"
    "(lreRowStatus, lreNodeName, lreLinkStatusA, lreLinkStatusB) and of\n"
    "lreInterfaceStatsTable (lreCntErrorsA, lreCntErrorsB).  Runs until a signal\n"
    "ends it, and registers again whenever the master comes back.\n"
    "\n"
    "  -s, --lan-speed [BOARD=]SPEED\n"
    "                         LAN speed in bit/s, k M G allowed, of every board\n"
    "                         (default 1G) or of one: a counter that grew faster\n"
    "                         has been reset, unless it keeps growing so\n"
    "  -x, --agentx-socket SOCKET\n"
    "                         the master's AgentX socket (default /var/agentx/master;\n"
    "                         tcp:HOST:PORT for TCP)\n"
    "      --names FILE       the boards' names, a line \"INDEX NAME\" each: lreNodeName\n"
    "  -h, --help             this text\n"
    "\n"
    "Exit status: 0 on SIGTERM or SIGINT, 1 when it cannot start, 2 for a bad\n"
    "option.\n";

static int Refuse(const char *what, const char *argument) {
    static char shown[4 * 1024];
    EscapeControls(argument, shown, sizeof shown);
    fprintf(stderr, "prp-hsr-agentx: %s: %s\nusage: prp-hsr-agentx %s\n", what, shown,
            kAgentSynopsis);
    return 2;
}

// The short name of an option with only its long one.
const char kNames = '\1';

static const Option kOptions[] = {
    {'s', "lan-speed", true},
    {'x', "agentx-socket", true},
    {'h', "help", false},
    {kNames, "names", true},
};

static int Apply(void *settings, char name, const char *value) {
    AgentOptions *options = (AgentOptions *)settings;
    const char *why;
    switch (name) {
    case 's':
        why = TakeLanSpeed(&options->named, value);
        if (why != NULL)
            return Refuse(why, value);
        break;
    case kNames: {
        char why[kLongestNameBytes + 600];
        Text text = TEXT_IN(why);
        if (!TakeBoardNames(&options->named, value, &text)) {
            fprintf(stderr, "prp-hsr-agentx: %s\nusage: prp-hsr-agentx %s\n", why, kAgentSynopsis);
            return 2;
        }
        break;
    }
    case 'x':
        if (value[0] == '\0')
            return Refuse("not a socket", "''");
        options->socket = value;
        break;
    case 'h':
        fputs(kHelp, stdout);
        FlushOutput(); // help that cannot be written ends with 1 and a line
        return 0;
    }
    return -1;
}

int ParseAgentOptions(int argc, char **argv, AgentOptions *options) {
    memset(options, 0, sizeof *options);
    StartNamedBoards(&options->named);
    // As WatchBoards has them; the objects served show no verdict.
    options->settings.staleMs = 5000;
    options->settings.markTenths = 50;

    static const CommandLine kLine = {kOptions, (int)(sizeof kOptions / sizeof kOptions[0]), Apply,
                                      Refuse};
    return TakeArguments(argc, argv, &kLine, &options->named, options);
}
