// check_prp_hsr: a monitoring plugin for Nagios, Icinga, Checkmk, NSClient++
// and the Zabbix agent.  It looks at the boards over one publication of the
// statistics service, as WatchBoards does, and at what happened since the
// last check (what that check left in its state file, and the exporter's
// file), then prints one status line with performance data, the long
// output's lines after it, and ends with the state: 0 OK, 1 WARNING,
// 2 CRITICAL, 3 UNKNOWN.  See check_prp_hsr.1.
#include <signal.h>
#include <stdio.h>

#include "answer.h"
#include "between.h"
#include "clock.h"
#include "command_line.h"
#include "console.h"
#include "deadline.h"
#include "exporter.h"
#include "look.h"
#include "state.h"
#include "state_file.h"

int main(int argc, char **argv) {
    StartProgram("check_prp_hsr", kOutputIsAnswer);
#ifdef SIGPIPE
    // A reader gone is an answer that cannot be written, UNKNOWN as any
    // other, not a death by signal, which no monitoring system reads as a
    // state.
    signal(SIGPIPE, SIG_IGN);
#endif
    static CheckOptions options;
    int status = ParseCheckOptions(argc, ArgumentsInUtf8(argc, argv), &options);
    if (status >= 0)
        return status;

    static char timedOut[64];
    Text line = TEXT_IN(timedOut);
    AppendText(&line, STATUS_LINE_START "UNKNOWN - timed out after ");
    AppendUnsigned(&line, options.timeoutSeconds);
    AppendText(&line, " s\n");
    SetDeadline(options.timeoutSeconds, timedOut);

    // What the last check left, said on the long output after the look.
    static Text statePath = GrowingText(), recallNote = GrowingText();
    static Memory memory;
    Recalled recalled = kNotKept;
    if (!options.noState && FindStateFile(&options, &statePath, &recallNote))
        recalled = RecallMemory(statePath.chars, WallClockMilliseconds(), &memory, &recallNote);
    bool stateKept = !options.noState && recalled != kNotKept;

    // The look, at the boards named or those that publish.
    static Watch watch;
    bool published = LookAtBoards(&options, &watch);
    uint64_t nowMs = WallClockMilliseconds(), monotonicMs = MonotonicMilliseconds();

    // The exporter's file, for what happened since the last check: a file
    // given (or the default, where it is) that is not read is said.
    static Check check;
    check.notes = GrowingText();
    AppendChars(&check.notes, recallNote.chars, recallNote.length);
    static ExporterFile file;
    uint64_t writtenMs = 0;
    const char *textfile = options.textfile != NULL ? options.textfile : DefaultTextfile();
    bool fileRead = false;
    if (textfile != NULL && textfile[0] != '\0') {
        fileRead = ReadExporterFile(textfile, nowMs, &file, &writtenMs, &check.notes);
        if (!fileRead)
            AppendText(&check.notes, "; links lost since the last check unknown\n");
    }

    // The boards the check tells of, and what each counted since the last.
    Sources sources = {&watch,
                       recalled == kRecalled ? &memory : NULL,
                       fileRead ? &file : NULL,
                       writtenMs,
                       nowMs,
                       monotonicMs};
    WorkOutCheck(&sources, &options, &check);
    // Nothing published, and no board remembered that is gone now: the
    // service is not running, or there are no boards.
    bool remembered = sources.memory != NULL && memory.count != 0;
    bool told = published || (remembered && check.count != 0);

    // What the next check needs, kept before the answer, which says
    // whether it was; a state started afresh is replaced, so that it is
    // said once.
    if (stateKept && (told || remembered || recalled == kStartedAfresh)) {
        static Memory next;
        Remember(&check, &sources, &next);
        stateKept = KeepMemory(statePath.chars, &next, &check.notes);
    }

    static Text answer = GrowingText(); // held to the end, as the program's
    PluginState state = kPluginUnknown;
    if (told) {
        state = AppendCheckAnswer(&answer, &check, &options, !options.noState && !stateKept);
    } else {
        AppendUnknown(&answer, "no board published");
        if (remembered) // the boards forgotten now
            AppendChars(&answer, check.notes.chars, check.notes.length);
    }
    ClearDeadline();
    fputs(answer.chars, stdout);
    FlushOutput(); // an answer that cannot be written ends with 3 and a line
    return state;
}
