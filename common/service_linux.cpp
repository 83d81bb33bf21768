#include "service.h"

#include <dirent.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

// The kernel keeps each process's executable file name, as it was at exec,
// in /proc/PID/comm with a line end, cut to 15 characters: enough to tell
// the service's 12 from any other name.
bool IsPrpServiceRunning(void) {
    static const char kComm[] = PRP_SERVICE_IMAGE "\n";
    DIR *proc = opendir("/proc");
    if (proc == NULL)
        return false;
    bool found = false;
    struct dirent *entry;
    while (!found && (entry = readdir(proc)) != NULL) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        char path[32]; // PID/comm
        size_t length = strlen(entry->d_name);
        if (length + sizeof "/comm" > sizeof path)
            continue;
        memcpy(path, entry->d_name, length);
        memcpy(path + length, "/comm", sizeof "/comm");
        int fd = openat(dirfd(proc), path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue; // the process has ended since the listing
        char comm[sizeof kComm];
        ssize_t got = read(fd, comm, sizeof comm);
        close(fd);
        found = got == (ssize_t)sizeof kComm - 1 && memcmp(comm, kComm, sizeof kComm - 1) == 0;
    }
    closedir(proc);
    return found;
}
