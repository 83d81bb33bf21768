// WatchTxOctets: prints the transmit octet counters of a board's two LANs,
// as the statistics service publishes them, once a second until it is
// stopped or its output cannot be written (status 1).  Arguments are ignored.
#include "console.h"
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.txOctetsA = %d\n", PRP_FIELD(txOctetsA)},
    {"prpValue.txOctetsB = %d\n", PRP_FIELD(txOctetsB)},
};

int main(void) {
    StartProgram("WatchTxOctets", kOutputMustShow);
    return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kServiceHint);
}
