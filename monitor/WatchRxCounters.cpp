// WatchRxCounters: prints the receive good-octet and error counters of a
// board's two LANs, as the statistics service publishes them, once a second
// until it is stopped or its output cannot be written (status 1).  Arguments
// are ignored.
#include "console.h"
#include "watch.h"

static const WatchedLine kLines[] = {
    {"prpValue.rxGoodOctetsA = %d\n", PRP_FIELD(rxGoodOctetsA)},
    {"prpValue.rxErrA = %d\n", PRP_FIELD(rxErrA)},
    {"prpValue.rxGoodOctetsB = %d\n", PRP_FIELD(rxGoodOctetsB)},
    {"prpValue.rxErrB = %d\n", PRP_FIELD(rxErrB)},
};

int main(void) {
    StartProgram("WatchRxCounters", kOutputMustShow);
    return WatchStatistics(kLines, sizeof kLines / sizeof kLines[0], kServiceHint);
}
