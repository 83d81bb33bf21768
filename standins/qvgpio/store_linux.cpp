#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store.h"

void StoreFolder(char *path, size_t size) {
    const char *chosen = getenv("QVGPIO_SIM_DIR");
    const char *runtime = getenv("XDG_RUNTIME_DIR");
    if (chosen != NULL && *chosen != '\0')
        snprintf(path, size, "%s", chosen);
    else if (runtime != NULL && *runtime != '\0')
        snprintf(path, size, "%s/qvgpio-sim", runtime);
    else
        snprintf(path, size, "/tmp/qvgpio-sim-%u", (unsigned)geteuid());
}

static const int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Why a folder could not be opened: a link in its place gives ENOTDIR from
// open, told here as the link it is.
static int FolderError(int at, const char *name) {
    int error = errno;
    struct stat status;
    if (error == ENOTDIR && fstatat(at, name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(status.st_mode))
        error = ELOOP;
    return error;
}

int OpenStoreFolder(const char *path, bool make, Folder *folder) {
    folder->fd = -1;
    if (snprintf(folder->path, sizeof folder->path, "%s", path) >= (int)sizeof folder->path)
        return ENAMETOOLONG;
    folder->fd = open(path, kFolderFlags);
    if (folder->fd < 0 && errno == ENOENT && make) {
        if (mkdir(path, 0700) != 0 && errno != EEXIST)
            return errno;
        folder->fd = open(path, kFolderFlags);
    }
    if (folder->fd < 0)
        return FolderError(AT_FDCWD, path);
    struct stat status;
    if (fstat(folder->fd, &status) != 0) {
        int error = errno;
        CloseFolder(folder);
        return error;
    }
    folder->owner = status.st_uid;
    folder->mode = status.st_mode & 07777;
    int refusal = 0;
    if (status.st_uid != geteuid())
        refusal = kForeignOwner;
    else if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        refusal = kOpenToOthers;
    if (refusal != 0)
        CloseFolder(folder);
    return refusal;
}

int OpenSubfolder(const Folder *parent, const char *name, bool make, Folder *folder) {
    folder->fd = -1;
    if (snprintf(folder->path, sizeof folder->path, "%s/%s", parent->path, name) >=
        (int)sizeof folder->path)
        return ENAMETOOLONG;
    folder->fd = openat(parent->fd, name, kFolderFlags);
    if (folder->fd < 0 && errno == ENOENT && make) {
        if (mkdirat(parent->fd, name, 0700) != 0 && errno != EEXIST)
            return errno;
        folder->fd = openat(parent->fd, name, kFolderFlags);
    }
    return folder->fd < 0 ? FolderError(parent->fd, name) : 0;
}

void CloseFolder(Folder *folder) {
    if (folder->fd >= 0)
        close(folder->fd);
    folder->fd = -1;
}

int OpenFile(const Folder *folder, const char *name, FileAccess access, int *fd) {
    static const int kFlags[] = {
        O_RDONLY,
        O_WRONLY | O_APPEND | O_CREAT,
        O_WRONLY | O_CREAT | O_EXCL,
    };
    // Without O_NONBLOCK, opening a FIFO waits for its other end.  A regular
    // file's reads and writes take no notice of it.
    *fd = openat(folder->fd, name, kFlags[access] | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (*fd < 0) {
        // ENXIO: a FIFO without a reader or a socket, opened for writing.
        return errno == ENXIO || errno == EISDIR ? kNotRegular : errno;
    }
    struct stat status;
    int error = fstat(*fd, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : kNotRegular;
    if (error != 0) {
        close(*fd);
        *fd = -1;
    }
    return error;
}

int RenameFile(const Folder *folder, const char *from, const char *to) {
    return renameat(folder->fd, from, folder->fd, to) == 0 ? 0 : errno;
}

int RemoveEntry(const Folder *folder, const char *name) {
    if (unlinkat(folder->fd, name, 0) == 0)
        return 0;
    if (errno == EISDIR && unlinkat(folder->fd, name, AT_REMOVEDIR) == 0)
        return 0;
    return errno;
}

int ListFolder(const Folder *folder, void (*each)(const char *name, void *context), void *context) {
    // fdopendir takes the descriptor it is given: list a copy.
    int fd = openat(folder->fd, ".", kFolderFlags);
    DIR *entries = fd >= 0 ? fdopendir(fd) : NULL;
    if (entries == NULL) {
        int error = errno;
        if (fd >= 0)
            close(fd);
        return error;
    }
    while (struct dirent *entry = readdir(entries)) {
        const char *name = entry->d_name;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
            each(name, context);
    }
    closedir(entries);
    return 0;
}

uint64_t UnguessableNumber(void) {
    uint64_t number = 0;
    if (getrandom(&number, sizeof number, 0) != (ssize_t)sizeof number)
        number ^= (uint64_t)getpid() << 32; // a guessed name is refused by O_EXCL all the same
    return number;
}

void SayFailure(const char *program, const char *failure) {
    fprintf(stderr, "%s: %s\n", program, failure);
}
