// WatchBoards: a live view of every board's published statistics, once a
// second.  On a terminal a screen with LanA beside LanB, rates, divergence
// and graphs; otherwise lines for scripts.  See WatchBoards.1.
#include "console.h"
#include "options.h"
#include "system.h"
#include "watching.h"

// A failure ends WatchBoards: said as the journal reads an error.
static void SayEnding(const char *lines) { SayOnError(kSaidEnds, lines); }

int main(int argc, char **argv) {
    SayFailuresWith(SayEnding);
    StartProgram("WatchBoards", kOutputMustShow);
    static ViewOptions options;
    int status = ParseOptions(argc, ArgumentsInUtf8(argc, argv), &options);
    if (status >= 0)
        return status;
    CatchEndRequests();
    if (options.textfile != NULL || options.events)
        return WatchWithoutScreen(&options);
    return options.lines ? WatchInLines(&options) : WatchOnScreen(&options);
}
