#include "file_name.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

const char *SystemErrorText(int error) { return strerror(error); }

static uint64_t UnguessableNumber(void) {
    uint64_t number;
    if (getrandom(&number, sizeof number, 0) != (ssize_t)sizeof number) {
        struct timespec now; // O_EXCL refuses a guess
        clock_gettime(CLOCK_MONOTONIC, &now);
        number = ((uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec) ^ (uint64_t)getpid()
                                                                                    << 40;
    }
    return number;
}

int WriteBeside(const char *path, const char *bytes, size_t count, unsigned mode, char *temporary,
                size_t size) {
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 8; attempt++) {
        if (!TemporaryFileName(path, "/", UnguessableNumber(), temporary, size)) {
            temporary[0] = '\0';
            return ENAMETOOLONG;
        }
        fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return errno;
    // No sync: a crash loses the last write at most, and flash is spared one.
    int error = fchmod(fd, (mode_t)mode) == 0 ? 0 : errno;
    while (error == 0 && count > 0) {
        ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno != EINTR)
            error = errno;
        if (written > 0) {
            bytes += written;
            count -= (size_t)written;
        }
    }
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        unlink(temporary);
    return error;
}
