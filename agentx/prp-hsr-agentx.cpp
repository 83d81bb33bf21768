// prp-hsr-agentx: an AgentX subagent that serves the statistics the
// statistics service publishes for each board to the SNMP master agent
// (snmpd), as the lre objects of IEC 62439-3.  It reads the boards as
// WatchBoards does, and between two reads answers the master.  See
// prp-hsr-agentx.1.
#include "clock.h"
#include "console.h"
#include "options.h"
#include "subagent.h"
#include "system.h"
#include "watcher.h"

int main(int argc, char **argv) {
    StartProgram("prp-hsr-agentx", kOutputMustShow);
    static AgentOptions options;
    int status = ParseAgentOptions(argc, argv, &options);
    if (status >= 0)
        return status;
    CatchEndRequests();

    // The first round at once: the boards have rows from the start.
    static Watch watch;
    StartWatch(&watch, &options.named, &options.settings, MonotonicMilliseconds(), true, false);
    if (!StartSubagent(options.socket, &watch))
        return 1;
    while (!EndRequested()) {
        uint64_t due = NextDueMs(&watch);
        ServeUntil(due);
        uint64_t now = MonotonicMilliseconds();
        if (now >= due) {
            StepWatch(&watch, now);
            BoardsStepped();
        }
    }
    EndSubagent();
    return 0;
}
