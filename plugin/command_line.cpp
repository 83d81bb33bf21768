#include "command_line.h"

#include <stdio.h>
#include <string.h>

#include "console.h"
#include "file_name.h"
#include "look.h"
#include "names.h"

static const char kHelp[] =
    "usage: check_prp_hsr [options] [boardIndex...]\n"
    "A monitoring plugin: looks at the statistics that the statistics service\n"
    "publishes for each board (those named, or every board that publishes, and\n"
    "those the last check saw) over one publication, judges what happened since\n"
    "the last check, then prints one status line with performance data, and\n"
    "what else there is to say on the lines after it.\n"
    "\n"
    "  -w, --warning RANGE          LanA's rates against LanB's, in percent of the\n"
    "                               larger (0 to 100), that warn (default 5)\n"
    "  -c, --critical RANGE         the same that is critical (default none)\n"
    "  -W, --errors-warning RANGE   receive errors a second of a LAN that warn\n"
    "                               (default 0: any)\n"
    "  -C, --errors-critical RANGE  the same that are critical\n"
    "      --losses-warning RANGE   links lost since the last check, of a LAN, that\n"
    "                               warn (default 0: any)\n"
    "      --losses-critical RANGE  the same that are critical (default 2)\n"
    "  -s, --lan-speed [BOARD=]SPEED\n"
    "                               LAN speed in bit/s, k M G allowed, of every\n"
    "                               board (default 1G) or of one\n"
    "  -t, --timeout SECONDS        UNKNOWN after that long (default 10, at least 5)\n"
    "      --names FILE             the boards' names, a line \"INDEX NAME\" each\n"
    "      --textfile FILE          the exporter's metrics file, for the links lost\n"
    "                               (default, where it exists,\n"
    "                               /run/prp-hsr-exporter/prp-hsr.prom; '' none)\n"
    "      --state-dir DIR          where the state between checks is kept (default\n"
    "                               $MP_STATE_PATH, else /var/lib/monitoring-plugins\n"
    "                               where it may be written, else\n"
    "                               ~/.local/state/monitoring-plugins)\n"
    "      --no-state               nothing kept between checks\n"
    "      --forget SECONDS         a board gone that long is forgotten (default\n"
    "                               86400)\n"
    "  -h, --help                   this text\n"
    "  -V, --version                the version\n"
    "\n"
    "RANGE: 10 alerts above 10, 10: below 10, ~:10 above 10, 10:20 outside,\n"
    "@10:20 inside.  LanA and LanB are compared while both links are up and the\n"
    "busier carries over 1000 bytes a second.  Errors, rates and LanA against\n"
    "LanB are those since the last check where it tells them, else the look's.\n"
    "\n"
    "Exit status: 0 OK; 1 WARNING: a board stale or short, a figure beyond -w,\n"
    "-W or --losses-warning; 2 CRITICAL: a board gone or unreadable (also one\n"
    "the last check saw), a link down, a figure beyond -c, -C or\n"
    "--losses-critical; 3 UNKNOWN: a bad argument, no board published, rates not\n"
    "known, the state not kept, the time run out, or after this help.\n";

// The status of a plugin that cannot check: 3, UNKNOWN.
enum { kUnknownStatus = 3 };

// One line on standard output, where a plugin says everything, with the
// argument's control characters escaped: the line stays one line.
static int Refuse(const char *what, const char *argument) {
    char shown[256];
    EscapeControls(argument, shown, sizeof shown);
    printf(STATUS_LINE_START "UNKNOWN - %s: %s\n", what, shown);
    FlushOutput();
    return kUnknownStatus;
}

// The most a percentage is, and more errors a second, or losses, than any
// LAN counts.
static const double kMostPercent = 100, kMostErrors = 1e15;

// The short names of the options with only their long ones.
enum : char {
    kNames = '\1',
    kLossesWarning,
    kLossesCritical,
    kTextfile,
    kStateDir,
    kNoState,
    kForget,
};

// Ten years: longer is no time a board is remembered for.
static const uint64_t kLongestForget = 315360000;

static const Option kOptions[] = {
    {'w', "warning", true},
    {'c', "critical", true},
    {'W', "errors-warning", true},
    {'C', "errors-critical", true},
    {'s', "lan-speed", true},
    {'t', "timeout", true},
    {'h', "help", false},
    {'V', "version", false},
    {kNames, "names", true},
    {kLossesWarning, "losses-warning", true},
    {kLossesCritical, "losses-critical", true},
    {kTextfile, "textfile", true},
    {kStateDir, "state-dir", true},
    {kNoState, "no-state", false},
    {kForget, "forget", true},
};

static int Apply(void *settings, char name, const char *value) {
    CheckOptions *options = (CheckOptions *)settings;
    switch (name) {
    case 'w':
    case 'c':
        if (!ParseRange(value, kMostPercent,
                        name == 'w' ? &options->divergence.warning : &options->divergence.critical))
            return Refuse("not a range of percentages from 0 to 100", value);
        break;
    case 'W':
    case 'C':
        if (!ParseRange(value, kMostErrors,
                        name == 'W' ? &options->errors.warning : &options->errors.critical))
            return Refuse("not a range of errors a second", value);
        break;
    case 's': {
        const char *why = TakeLanSpeed(&options->named, value);
        if (why != NULL)
            return Refuse(why, value);
        break;
    }
    case kLossesWarning:
    case kLossesCritical:
        if (!ParseRange(value, kMostErrors,
                        name == kLossesWarning ? &options->losses.warning
                                               : &options->losses.critical))
            return Refuse("not a range of link losses", value);
        break;
    case 't': {
        uint64_t seconds;
        if (!ParseNumber(value, 3600, false, &seconds) || seconds == 0)
            return Refuse("not a number of seconds from 1 to 3600", value);
        // A time the look may outlast would end checks at random.
        if (seconds * 1000 < kLongestLookMs) {
            printf(STATUS_LINE_START "UNKNOWN - -t %u: a check takes up to %u.%u s; at least %u\n",
                   (unsigned)seconds, kLongestLookMs / 1000, kLongestLookMs % 1000 / 100,
                   (kLongestLookMs + 999) / 1000);
            FlushOutput();
            return kUnknownStatus;
        }
        options->timeoutSeconds = (uint32_t)seconds;
        break;
    }
    case kTextfile:
        options->textfile = value;
        break;
    case kStateDir:
        if (value[0] == '\0')
            return Refuse("not a folder", "''");
        options->stateDir = value;
        break;
    case kNoState:
        options->noState = true;
        break;
    case kForget:
        if (!ParseNumber(value, kLongestForget, false, &options->forgetSeconds) ||
            options->forgetSeconds == 0)
            return Refuse("not a number of seconds from 1 to 315360000", value);
        break;
    case kNames: {
        char why[kLongestNameBytes + 600];
        Text text = TEXT_IN(why);
        if (!TakeBoardNames(&options->named, value, &text)) {
            printf(STATUS_LINE_START "UNKNOWN - %s\n", why);
            FlushOutput();
            return kUnknownStatus;
        }
        break;
    }
    case 'h':
        fputs(kHelp, stdout);
        FlushOutput(); // help that cannot be written ends with 3 and a line
        return kUnknownStatus;
    case 'V':
        fputs("check_prp_hsr " PLUGIN_VERSION "\n", stdout);
        FlushOutput();
        return kUnknownStatus;
    }
    return -1;
}

int ParseCheckOptions(int argc, char **argv, CheckOptions *options) {
    memset(options, 0, sizeof *options);
    StartNamedBoards(&options->named);
    // A record that did not change for two publications and a half is not
    // published any more: later than a late publication, within the look.
    options->settings.staleMs = kPublishingPeriodMs * 5 / 2;
    options->settings.markTenths = 50;
    options->timeoutSeconds = 10;
    options->forgetSeconds = 86400;
    // As the boards' verdict: beyond the mark, and any error, warn.  A link
    // lost once warns, three times is critical: a link that flaps.
    ParseRange("5", kMostPercent, &options->divergence.warning);
    ParseRange("0", kMostErrors, &options->errors.warning);
    ParseRange("0", kMostErrors, &options->losses.warning);
    ParseRange("2", kMostErrors, &options->losses.critical);

    static const CommandLine kLine = {kOptions, (int)(sizeof kOptions / sizeof kOptions[0]), Apply,
                                      Refuse};
    return TakeArguments(argc, argv, &kLine, &options->named, options);
}
