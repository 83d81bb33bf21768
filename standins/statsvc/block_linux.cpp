#include "block.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

PrpValue *CreateBlock(const char *name) {
    int fd = shm_open(name, O_RDWR | O_CREAT, 0666);
    void *view = MAP_FAILED;
    // Mode 0666 whatever the umask: the monitors open the block read-write.
    if (fd >= 0 && fchmod(fd, 0666) == 0 && ftruncate(fd, sizeof(PrpValue)) == 0)
        view = mmap(nullptr, sizeof(PrpValue), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    int error = errno;
    if (fd >= 0)
        close(fd);
    if (view == MAP_FAILED) {
        fprintf(stderr, "RiDuvOzi.exe: cannot create %s: %s\n", name, strerror(error));
        if (fd >= 0)
            shm_unlink(name);
        return nullptr;
    }
    memset(view, 0, sizeof(PrpValue));
    return static_cast<PrpValue *>(view);
}

void RemoveBlock(const char *name, PrpValue *record) {
    munmap(record, sizeof(PrpValue));
    shm_unlink(name);
}
