// What prp-hsr-agentx needs of the operating system besides the blocks and
// the subagent: the requests to end, and its lines on standard error.
#ifndef AGENTX_SYSTEM_H
#define AGENTX_SYSTEM_H

// From now on, SIGTERM, SIGINT and SIGHUP only set what EndRequested tells,
// and cut a wait short, so that the program ends in its own way; SIGPIPE,
// a master gone while it is written to, is ignored.
void CatchEndRequests(void);
bool EndRequested(void);

// How much a line says, as syslog and journald number it.
enum Priority { kPriorityError = 3, kPriorityWarning = 4, kPriorityNotice = 5, kPriorityInfo = 6 };

// Writes "prp-hsr-agentx: " and the line on standard error, its control
// characters escaped; when standard error is the journal's stream
// (JOURNAL_STREAM names it) with the priority before it, "<4>", which
// journald reads.
void Say(Priority priority, const char *line);

#endif
