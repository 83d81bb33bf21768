// WatchTxOctets: prints the transmit octet counters of a board's two LANs,
// as the statistics service publishes them, once a second until it is
// stopped.  Arguments are ignored.
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.txOctetsA = %d\n", PRP_FIELD(txOctetsA)},
    {"prpValue.txOctetsB = %d\n", PRP_FIELD(txOctetsB)},
};

int main(void) { return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kServiceHint); }
