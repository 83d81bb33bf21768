#include "host.h"

#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "prp_value.h"

// The blocks are the POSIX shared-memory objects, which Linux keeps as the
// files of /dev/shm: "QvPrpFileMapObject" and the board index.  A name is
// a board's only when it is the very name StatisticsMapName makes.
static bool BoardOfName(const char *name, int32_t *boardIndex) {
    static const char kPrefix[] = "QvPrpFileMapObject";
    if (strncmp(name, kPrefix, sizeof kPrefix - 1) != 0)
        return false;
    char *end;
    long long value = strtoll(name + sizeof kPrefix - 1, &end, 10);
    if (*end != '\0' || value < INT32_MIN || value > INT32_MAX)
        return false;
    char canonical[kStatisticsMapNameSize];
    StatisticsMapName((int32_t)value, canonical);
    if (strcmp(canonical + 1, name) != 0) // "/QvPrp...": no blank, sign or leading zero more
        return false;
    *boardIndex = (int32_t)value;
    return true;
}

int ListPublishedBoards(int32_t *boardIndices, int most) {
    DIR *folder = opendir("/dev/shm");
    if (folder == NULL)
        return 0;
    int count = 0;
    for (struct dirent *entry; count < most && (entry = readdir(folder)) != NULL;) {
        int32_t boardIndex;
        if (!BoardOfName(entry->d_name, &boardIndex))
            continue;
        int at = count++;
        for (; at > 0 && boardIndices[at - 1] > boardIndex; at--)
            boardIndices[at] = boardIndices[at - 1];
        boardIndices[at] = boardIndex;
    }
    closedir(folder);
    return count;
}

uint64_t MonotonicMilliseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000 + (uint64_t)now.tv_nsec / 1000000;
}

static volatile sig_atomic_t endRequested;

static void RequestEnd(int) { endRequested = 1; }

void CatchEndRequests(void) {
    // No SA_RESTART: a signal cuts a wait short.
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = RequestEnd;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, NULL);
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGHUP, &action, NULL);
}

bool EndRequested(void) { return endRequested != 0; }

void WaitMilliseconds(uint32_t milliseconds) {
    struct timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (!endRequested && nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}
