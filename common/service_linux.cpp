#include "service.h"

#include <dirent.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

// /proc/PID/stat begins "PID (NAME) STATE ": NAME is the executable file
// name as it was at exec, cut to 15 characters (enough to tell the service's
// 12 from any other name), and may itself hold blanks and parentheses; the
// fields after it are numbers.  A zombie (Z) or dead (X) process has ended,
// whatever its parent has not yet collected of it.
static bool IsRunningService(const char *stat, size_t length) {
    static const char kImage[] = PRP_SERVICE_IMAGE;
    const char *nameStart = (const char *)memchr(stat, '(', length);
    const char *nameEnd = (const char *)memrchr(stat, ')', length);
    if (nameStart == NULL || nameEnd == NULL || nameEnd < nameStart || nameEnd + 2 >= stat + length)
        return false;
    size_t nameLength = (size_t)(nameEnd - nameStart - 1);
    char state = nameEnd[2];
    return nameLength == sizeof kImage - 1 && memcmp(nameStart + 1, kImage, nameLength) == 0 &&
           state != 'Z' && state != 'X';
}

bool IsPrpServiceRunning(void) {
    DIR *proc = opendir("/proc");
    if (proc == NULL)
        return false;
    bool found = false;
    struct dirent *entry;
    while (!found && (entry = readdir(proc)) != NULL) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        char path[32]; // PID/stat
        size_t length = strlen(entry->d_name);
        if (length + sizeof "/stat" > sizeof path)
            continue;
        memcpy(path, entry->d_name, length);
        memcpy(path + length, "/stat", sizeof "/stat");
        int fd = openat(dirfd(proc), path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;  // the process has ended since the listing
        char stat[64]; // PID, NAME and STATE, far within
        ssize_t got = read(fd, stat, sizeof stat);
        close(fd);
        found = got > 0 && IsRunningService(stat, (size_t)got);
    }
    closedir(proc);
    return found;
}
