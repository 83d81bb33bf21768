// WatchLinkStatus: prints the link status of a board's two LANs, as the
// statistics service publishes it, once a second until it is stopped or its
// output cannot be written (status 1).  Arguments are ignored.
#include "console.h"
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.linkStatusA = %d\n", PRP_FIELD(linkStatusA)},
    {"prpValue.linkStatusB = %d\n", PRP_FIELD(linkStatusB)},
};

int main(void) {
    StartProgram("WatchLinkStatus", kOutputMustShow);
    return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kNoServiceHint);
}
