#include "options.h"

#include <stdio.h>
#include <string.h>

#include "console.h"
#include "file_name.h"
#include "names.h"

static const char kHelp[] =
    "usage: WatchBoards [options] [boardIndex...]\n"
    "Shows the statistics the statistics service publishes for each board, once\n"
    "a second: link status, receive and transmit rates, receive errors, LanA\n"
    "beside LanB and how far they differ.  With no boardIndex, every board that\n"
    "publishes, as boards appear.  On a terminal a screen; where the terminal\n"
    "cannot address the cursor, a table; otherwise (and with -l or -j) one line\n"
    "per board per second, tab-separated under a header.\n"
    "Keys on the screen: q quit, b bits or bytes, g graphs, + and - the\n"
    "divergence mark, t only the boards in trouble, s the worst trouble first,\n"
    "d blocks or a line a board, up and down (k, j), PgUp, PgDn, Home, End, a\n"
    "board's number and Enter to go to it (Esc not), Ctrl-L draw it all again,\n"
    "Ctrl-Z suspend, ? every key.\n"
    "\n"
    "  -b, --bytes            rates in byte/s instead of bit/s\n"
    "  -G, --no-graphs        no graphs of the last minute\n"
    "  -j, --json             lines of JSON objects instead of tab-separated\n"
    "  -l, --lines            lines even on a terminal\n"
    "  -m, --mark PERCENT     mark LanA and LanB differing by more (default 5)\n"
    "  -n, --count N          end after N samples\n"
    "  -s, --lan-speed [BOARD=]SPEED\n"
    "                         LAN speed in bit/s, k M G allowed, of every board\n"
    "                         (default 1G) or of one: a counter that grew faster\n"
    "                         has been reset, unless it keeps growing so\n"
    "  -t, --stale SECONDS    a record unchanged that long is stale (default 5)\n"
    "      --textfile FILE    write FILE, a .prom file for Prometheus' node exporter,\n"
    "                         after every sample, instead of the screen or lines\n"
    "      --events           a line for each change seen (a link lost and back,\n"
    "                         a board gone and back, a reset, LanA and LanB apart\n"
    "                         beyond the mark), instead of the screen or lines;\n"
    "                         alone or beside --textfile; -j for JSON\n"
    "      --names FILE       the boards' names, a line \"INDEX NAME\" each\n"
    "  -h, --help             this text\n"
    "\n"
    "Exit status: 0 on q or a signal to end, 1 when standard output fails,\n"
    "2 for a bad option.\n";

// The argument as a line may show it: its control characters escaped
// (ESC as \033), so that a refusal cannot set the terminal's title or clear
// its screen.
static int Refuse(const char *what, const char *argument) {
    static char shown[4 * 8192], lines[sizeof shown + 256];
    EscapeControls(argument, shown, sizeof shown);
    snprintf(lines, sizeof lines, "WatchBoards: %s: %s\nTry 'WatchBoards --help'.\n", what, shown);
    SayFailure(lines);
    return 2;
}

// The short names of the options that have only their long one.
const char kTextfile = '\1', kEvents = '\2', kNames = '\3';

static const Option kOptions[] = {
    {'b', "bytes", false},    {'G', "no-graphs", false}, {'j', "json", false},
    {'l', "lines", false},    {'m', "mark", true},       {'n', "count", true},
    {'s', "lan-speed", true}, {'t', "stale", true},      {'h', "help", false},
    {kTextfile, "textfile", true}, {kEvents, "events", false}, {kNames, "names", true},
};

// The options of the screen and of lines given, in order, each once: the
// metrics file and the events have nothing to do with some of them.
static char given[8];

// The first of these options given; '\0' when none was.
static char FirstGiven(const char *names) {
    for (const char *name = given; *name != '\0'; name++)
        if (strchr(names, *name) != NULL)
            return *name;
    return '\0';
}

static int Apply(void *settings, char name, const char *value) {
    ViewOptions *options = (ViewOptions *)settings;
    uint64_t number;
    const char *why;
    if (strchr("bGjlm", name) != NULL && strchr(given, name) == NULL)
        given[strlen(given)] = name;
    switch (name) {
    case 'b':
        options->view.bytes = true;
        break;
    case 'G':
        options->view.graphs = false;
        break;
    case 'j':
        options->format = kJson;
        options->lines = true;
        break;
    case 'l':
        options->lines = true;
        break;
    case 'm':
        if (!ParseNumber(value, 100, true, &number))
            return Refuse("not a percentage from 0 to 100", value);
        options->view.boards.markTenths = (uint32_t)number;
        break;
    case 'n':
        if (!ParseNumber(value, UINT32_MAX, false, &number) || number == 0)
            return Refuse("not a count of samples", value);
        options->samples = (uint32_t)number;
        break;
    case 's':
        why = TakeLanSpeed(&options->named, value);
        if (why != NULL)
            return Refuse(why, value);
        break;
    case 't':
        if (!ParseNumber(value, 86400, false, &number) || number == 0)
            return Refuse("not a number of seconds from 1 to 86400", value);
        options->view.boards.staleMs = (uint32_t)number * 1000;
        break;
    case kTextfile:
        options->textfile = value;
        break;
    case kEvents:
        options->events = true;
        break;
    case kNames: {
        char why[kLongestNameBytes + 600];
        Text text = TEXT_IN(why);
        if (!TakeBoardNames(&options->named, value, &text)) {
            fprintf(stderr, "WatchBoards: %s\nTry 'WatchBoards --help'.\n", why);
            return 2;
        }
        break;
    }
    case 'h':
        fputs(kHelp, stdout);
        FlushOutput(); // help that cannot be written ends with 1 and a line
        return 0;
    }
    return -1;
}

// The metrics file is read by a collector only when its name ends in .prom.
static bool PromFile(const char *name) {
    size_t length = strlen(name);
    return length >= 5 && strcmp(name + length - 5, ".prom") == 0;
}

int ParseOptions(int argc, char **argv, ViewOptions *options) {
    memset(options, 0, sizeof *options);
    memset(given, 0, sizeof given);
    StartNamedBoards(&options->named);
    options->view.boards.staleMs = 5000;
    options->view.boards.markTenths = 50;
    options->view.graphs = true;
    options->format = kTabSeparated;

    static const CommandLine kLine = {kOptions, (int)(sizeof kOptions / sizeof kOptions[0]), Apply,
                                      Refuse};
    int status = TakeArguments(argc, argv, &kLine, &options->named, options);
    if (status >= 0)
        return status;
    // Lines have no screen's options; the events take the mark, and JSON;
    // the metrics file neither.
    char lines = FirstGiven("lj"), refused[3] = {'-', FirstGiven("bG"), '\0'};
    if (options->textfile == NULL && !options->events && lines != '\0' && refused[1] != '\0') {
        char why[] = {'n', 'o', 't', ' ', 'w', 'i', 't', 'h', ' ', '-', lines, '\0'};
        return Refuse(why, refused);
    }
    refused[1] = FirstGiven(options->events ? "bGl" : "bGjlm");
    if (options->events && refused[1] != '\0')
        return Refuse("not with --events", refused);
    if (options->textfile != NULL && refused[1] != '\0')
        return Refuse("not with --textfile", refused);
    if (options->textfile != NULL && !PromFile(options->textfile))
        return Refuse("not a .prom file, which a collector would read", options->textfile);
    return -1;
}
