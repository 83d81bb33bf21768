// check_prp_hsr: a monitoring plugin for Nagios, Icinga, Checkmk, NSClient++
// and the Zabbix agent.  It looks at the boards over one publication of the
// statistics service, as WatchBoards does, then prints one status line with
// performance data and ends with the state: 0 OK, 1 WARNING, 2 CRITICAL,
// 3 UNKNOWN.  See check_prp_hsr.1.
#include <signal.h>
#include <stdio.h>

#include "answer.h"
#include "command_line.h"
#include "console.h"
#include "deadline.h"
#include "look.h"

int main(int argc, char **argv) {
    StartProgram("check_prp_hsr", kOutputIsAnswer);
#ifdef SIGPIPE
    // A reader gone is an answer that cannot be written, UNKNOWN as any
    // other, not a death by signal, which no monitoring system reads as a
    // state.
    signal(SIGPIPE, SIG_IGN);
#endif
    static CheckOptions options;
    int status = ParseCheckOptions(argc, argv, &options);
    if (status >= 0)
        return status;

    static char timedOut[64];
    Text line = TEXT_IN(timedOut);
    AppendText(&line, STATUS_LINE_START "UNKNOWN - timed out after ");
    AppendUnsigned(&line, options.timeoutSeconds);
    AppendText(&line, " s\n");
    SetDeadline(options.timeoutSeconds, timedOut);

    static Watch watch;
    static Text answer = GrowingText(); // held to the end, as the program's
    PluginState state = LookAtBoards(&options, &watch)
                            ? AppendAnswer(&answer, &watch, &options)
                            : AppendUnknown(&answer, "no board published");
    ClearDeadline();
    fputs(answer.chars, stdout);
    FlushOutput(); // an answer that cannot be written ends with 3 and a line
    return state;
}
