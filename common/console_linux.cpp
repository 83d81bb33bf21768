#include "console.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

bool FillClosedStandardDescriptors(bool *outputClosed) {
    *outputClosed = false;
    for (int fd = 0; fd <= 2; fd++) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free descriptor: this one, since those below are open.
        if (open("/dev/null", O_RDWR) != fd)
            return false; // it cannot fail otherwise: fd is free
        *outputClosed |= fd == 1;
    }
    return true;
}

bool WaitForInput(FILE *stream) {
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    struct pollfd input = {fileno(stream), POLLIN, 0};
    while (poll(&input, 1, -1) < 0)
        if (errno != EINTR)
            return false;
    return true;
}
