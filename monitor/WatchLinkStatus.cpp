// WatchLinkStatus: prints the link status of a board's two LANs, as the
// statistics service publishes it, once a second until it is stopped.
// Arguments are ignored.
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.linkStatusA = %d\n", PRP_FIELD(linkStatusA)},
    {"prpValue.linkStatusB = %d\n", PRP_FIELD(linkStatusB)},
};

int main(void) { return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kNoServiceHint); }
