#include "state_file.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "clock.h"
#include "file_name.h"

const char kPathSeparator = '/';

// Where the Monitoring Plugins keep their state, when the plugin's user may
// write there.
static const char kSharedBase[] = "/var/lib/monitoring-plugins";

bool DefaultStateBase(Text *base) {
    const char *given = getenv("MP_STATE_PATH");
    if (given != NULL && given[0] != '\0') {
        AppendText(base, given);
        return true;
    }
    if (access(kSharedBase, W_OK | X_OK) == 0) {
        AppendText(base, kSharedBase);
        return true;
    }
    const char *state = getenv("XDG_STATE_HOME");
    if (state != NULL && state[0] == '/') {
        AppendText(base, state);
    } else {
        const char *home = getenv("HOME");
        if (home == NULL || home[0] == '\0') {
            const struct passwd *user = getpwuid(geteuid());
            home = user != NULL ? user->pw_dir : NULL;
        }
        if (home == NULL || home[0] == '\0')
            return false;
        AppendText(base, home);
        AppendText(base, "/.local/state");
    }
    AppendText(base, "/monitoring-plugins");
    return true;
}

// "PATH: why", the path's control characters escaped; false.
static bool Say(Text *why, const char *path, const char *what) {
    static char shown[4 * 4096];
    EscapeControls(path, shown, sizeof shown);
    AppendText(why, shown);
    AppendText(why, ": ");
    AppendText(why, what);
    return false;
}

bool KeepFolder(const char *folder, Text *why) {
    static char path[4096];
    size_t length = strlen(folder);
    if (length >= sizeof path)
        return Say(why, folder, strerror(ENAMETOOLONG));
    memcpy(path, folder, length + 1);
    // Each folder from the top, made where missing.
    for (size_t end = 1; end <= length; end++) {
        if (path[end] != '/' && path[end] != '\0')
            continue;
        char kept = path[end];
        path[end] = '\0';
        if (mkdir(path, 0700) != 0 && errno != EEXIST)
            return Say(why, path, strerror(errno));
        path[end] = kept;
    }
    // Nobody else may put a link or a file of theirs in it.
    struct stat status;
    if (lstat(folder, &status) != 0)
        return Say(why, folder, strerror(errno));
    if (!S_ISDIR(status.st_mode))
        return Say(why, folder, "not a folder");
    if (status.st_uid != geteuid() || (status.st_mode & 022) != 0)
        return Say(why, folder, "not a folder of your own that only you may write into");
    return true;
}

StateFileRead ReadStateFile(const char *path, char *bytes, size_t size, size_t *length,
                            uint32_t *error) {
    *length = 0;
    int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = (uint32_t)errno;
        return errno == ENOENT  ? kStateFileMissing
               : errno == ELOOP ? kStateFileNotRegular
                                : kStateFileFailed;
    }
    struct stat status;
    StateFileRead read = kStateFileRead;
    if (fstat(fd, &status) != 0) {
        *error = (uint32_t)errno;
        read = kStateFileFailed;
    } else if (!S_ISREG(status.st_mode)) {
        read = kStateFileNotRegular;
    } else if (status.st_uid != geteuid()) {
        *error = status.st_uid;
        read = kStateFileOthers;
    }
    while (read == kStateFileRead) {
        ssize_t got = ::read(fd, bytes + *length, size - *length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *error = (uint32_t)errno;
            read = kStateFileFailed;
        }
        if (got <= 0)
            break;
        *length += (size_t)got;
        if (*length == size)
            read = kStateFileTooLong;
    }
    close(fd);
    return read;
}

bool ReplaceStateFile(const char *path, const char *bytes, size_t count, Text *why) {
    static char temporary[4096];
    int error = WriteBeside(path, bytes, count, 0600, temporary, sizeof temporary);
    if (error == 0 && rename(temporary, path) != 0) {
        error = errno;
        unlink(temporary);
    }
    // Said of the state file, which the user knows.
    return error == 0 || Say(why, path, strerror(error));
}

int FileWrittenMs(const char *path, uint64_t *writtenMs) {
    struct stat status;
    if (stat(path, &status) != 0)
        return errno;
    *writtenMs =
        (uint64_t)status.st_mtim.tv_sec * 1000 + (uint64_t)status.st_mtim.tv_nsec / 1000000;
    return 0;
}

const char *DefaultTextfile(void) {
    static const char kInstalled[] = "/run/prp-hsr-exporter/prp-hsr.prom";
    return access(kInstalled, F_OK) == 0 ? kInstalled : NULL;
}
