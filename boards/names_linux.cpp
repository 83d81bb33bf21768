#include "names.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int ReadSmallFile(const char *path, char *bytes, size_t size, size_t *length) {
    // Never waits on a FIFO, nor reads a device.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    struct stat status;
    int error = fstat(fd, &status) != 0 ? errno
                : !S_ISREG(status.st_mode) ? ENODEV
                : status.st_size > (off_t)size ? EFBIG
                                               : 0;
    *length = 0;
    while (error == 0) {
        ssize_t got = read(fd, bytes + *length, size - *length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            error = errno;
        if (got <= 0)
            break;
        *length += (size_t)got;
        if (*length == size)
            error = EFBIG;
    }
    close(fd);
    return error;
}
