#include "deadline.h"

#include <errno.h>
#include <signal.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static const char *deadlineLine;

// Only what is safe in a signal handler: one write, and the end.
static void EndAtDeadline(int) {
    ssize_t written = write(STDOUT_FILENO, deadlineLine, strlen(deadlineLine));
    (void)written; // nothing more can be done about a write that fails
    _exit(3);
}

void SetDeadline(uint32_t seconds, const char *line) {
    deadlineLine = line;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = EndAtDeadline;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, NULL);
    // A mask inherited from whatever started the plugin must not hold the
    // deadline off.
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &alarmOnly, NULL);
    alarm(seconds);
}

void ClearDeadline(void) { alarm(0); }

void PauseMilliseconds(uint32_t milliseconds) {
    struct timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}
