// WatchRxCounters: prints the receive good-octet and error counters of a
// board's two LANs, as the statistics service publishes them, once a second
// until it is stopped.  Arguments are ignored.
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.rxGoodOctetsA = %d\n", PRP_FIELD(rxGoodOctetsA)},
    {"prpValue.rxErrA = %d\n", PRP_FIELD(rxErrA)},
    {"prpValue.rxGoodOctetsB = %d\n", PRP_FIELD(rxGoodOctetsB)},
    {"prpValue.rxErrB = %d\n", PRP_FIELD(rxErrB)},
};

int main(void) { return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kServiceHint); }
