#include "platform.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

int OpenStatisticsBlock(int32_t boardIndex, StatisticsHandle *block) {
    char name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    int fd = shm_open(name, O_RDWR, 0); // close-on-exec, as shm_open always is
    if (fd < 0)
        return errno;
    *block = fd;
    return 0;
}

int MapStatisticsRecord(StatisticsHandle block, const PrpValue **record) {
    // Touching a mapped page past the end of a shorter object kills the
    // process, so a block too short for the record is refused here.
    struct stat status;
    if (fstat((int)block, &status) != 0)
        return errno;
    if (status.st_size < (off_t)sizeof(PrpValue))
        return EINVAL;
    void *view = mmap(NULL, sizeof(PrpValue), PROT_READ | PROT_WRITE, MAP_SHARED, (int)block, 0);
    if (view == MAP_FAILED)
        return errno;
    *record = (const PrpValue *)view;
    return 0;
}

void CloseStatisticsBlock(StatisticsHandle block) { close((int)block); }

void SleepMilliseconds(unsigned milliseconds) {
    struct timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

void PrintFailureLine(const char *line) { fputs(line, stdout); }
