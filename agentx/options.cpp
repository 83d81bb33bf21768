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

static int Apply(AgentOptions *options, char name, const char *value) {
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

// One argument that starts with '-' (not a negative board index); next is
// the following argument, taken when the option needs a value.  A value
// follows its option in the same argument ("-s10G", "--lan-speed=10G") or
// in the next one.
static int ParseOption(AgentOptions *options, const char *argument, const char *next, int *used) {
    const Option *found = NULL;
    const char *value = NULL;
    if (argument[1] != '-') {
        for (const Option &option : kOptions)
            if (argument[1] != '\0' && option.shortName == argument[1])
                found = &option;
        if (found != NULL && argument[2] != '\0') {
            if (!found->takesValue)
                return Refuse("unknown option", argument);
            value = argument + 2;
        }
    } else {
        const char *name = argument + 2;
        size_t length = strcspn(name, "=");
        found = LongOption(kOptions, sizeof kOptions / sizeof kOptions[0], name, length);
        if (found != NULL && name[length] == '=') {
            if (!found->takesValue)
                return Refuse("takes no value", argument);
            value = name + length + 1;
        }
    }
    if (found == NULL)
        return Refuse("unknown option", argument);
    if (found->takesValue && value == NULL) {
        if (next == NULL)
            return Refuse("needs a value", argument);
        value = next;
        *used = 2;
    }
    return Apply(options, found->shortName, value);
}

int ParseAgentOptions(int argc, char **argv, AgentOptions *options) {
    memset(options, 0, sizeof *options);
    StartNamedBoards(&options->named);
    // As WatchBoards has them; the objects served show no verdict.
    options->settings.staleMs = 5000;
    options->settings.markTenths = 50;

    bool optionsEnd = false;
    for (int i = 1; i < argc; i++) {
        const char *argument = argv[i];
        int status, used = 1;
        if (optionsEnd || argument[0] != '-' || IsDigit(argument[1])) {
            const char *why = TakeBoard(&options->named, argument);
            status = why != NULL ? Refuse(why, argument) : -1;
        } else if (strcmp(argument, "--") == 0) {
            optionsEnd = true;
            status = -1;
        } else {
            status = ParseOption(options, argument, argv[i + 1], &used);
        }
        if (status >= 0)
            return status;
        i += used - 1;
    }
    return -1;
}
