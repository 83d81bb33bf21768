#include "platform.h"

#include <errno.h>
#include <stdio.h>
#include <time.h>

void SleepMilliseconds(unsigned milliseconds) {
    struct timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

void PrintFailureLine(const char *line) { fputs(line, stdout); }
