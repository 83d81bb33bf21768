#include "system.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_name.h"

static volatile sig_atomic_t endRequested;

static void RequestEnd(int) { endRequested = 1; }

void CatchEndRequests(void) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = RequestEnd;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, NULL);
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGHUP, &action, NULL);
    signal(SIGPIPE, SIG_IGN);
}

bool EndRequested(void) { return endRequested != 0; }

static bool ErrorIsJournal(void) {
    const char *stream = getenv("JOURNAL_STREAM"); // "device:inode"
    struct stat status;
    unsigned long long device, inode;
    return stream != NULL && sscanf(stream, "%llu:%llu", &device, &inode) == 2 &&
           fstat(STDERR_FILENO, &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

static const char *const kPrefixes[] = {"<0>", "<1>", "<2>", "<3>", "<4>", "<5>", "<6>", "<7>"};

void Say(Priority priority, const char *line) {
    static const bool journal = ErrorIsJournal();
    static char shown[4 * 1024], whole[sizeof shown + 32];
    EscapeControls(line, shown, sizeof shown);
    // One write, so that lines of the program and of the library never mix.
    int length = snprintf(whole, sizeof whole, "%sprp-hsr-agentx: %s\n",
                          journal ? kPrefixes[priority] : "", shown);
    if (length > 0)
        fwrite(whole, 1, (size_t)length < sizeof whole ? (size_t)length : sizeof whole - 1, stderr);
}
