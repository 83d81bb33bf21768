#define _CRT_RAND_S // rand_s
#include <direct.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

#include "store.h"

void DefaultStoreFolder(char *path, size_t size) {
    const char *temporary = getenv("TEMP");
    snprintf(path, size, "%s\\qvgpio-sim", temporary != NULL ? temporary : ".");
}

// Windows folders carry no owner that a plain stat shows; the store's
// default under the user's own %TEMP% is the user's.  A junction or link in
// place of a folder is refused all the same.
static int CheckFolder(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ENOENT;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return ELOOP;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : ENOTDIR;
}

static int OpenFolder(const char *path, bool make, Folder *folder) {
    snprintf(folder->path, sizeof folder->path, "%s", path);
    folder->fd = -1;
    int error = CheckFolder(path);
    if (error == ENOENT && make) {
        if (_mkdir(path) != 0 && errno != EEXIST)
            return errno;
        error = CheckFolder(path);
    }
    return error;
}

int OpenStoreFolder(const char *path, bool make, Folder *folder) {
    return OpenFolder(path, make, folder);
}

int OpenSubfolder(const Folder *parent, const char *name, bool make, Folder *folder) {
    char path[kStorePathSize];
    snprintf(path, sizeof path, "%s\\%s", parent->path, name);
    return OpenFolder(path, make, folder);
}

void CloseFolder(Folder *) {}

static void PathOf(const Folder *folder, const char *name, char *path) {
    snprintf(path, kStorePathSize, "%s\\%s", folder->path, name);
}

int OpenFile(const Folder *folder, const char *name, FileAccess access, int *fd) {
    static const int kFlags[] = {
        O_RDONLY,
        O_WRONLY | O_APPEND | O_CREAT,
        O_WRONLY | O_CREAT | O_EXCL,
    };
    char path[kStorePathSize];
    PathOf(folder, name, path);
    *fd = _open(path, kFlags[access] | O_BINARY | O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (*fd < 0)
        return errno;
    struct _stat64 status;
    int error = _fstat64(*fd, &status) != 0 ? errno : (status.st_mode & _S_IFREG) ? 0 : kNotRegular;
    if (error != 0) {
        _close(*fd);
        *fd = -1;
    }
    return error;
}

int RenameFile(const Folder *folder, const char *from, const char *to) {
    char fromPath[kStorePathSize], toPath[kStorePathSize];
    PathOf(folder, from, fromPath);
    PathOf(folder, to, toPath);
    return MoveFileExA(fromPath, toPath, MOVEFILE_REPLACE_EXISTING) ? 0 : EACCES;
}

int RemoveEntry(const Folder *folder, const char *name) {
    char path[kStorePathSize];
    PathOf(folder, name, path);
    if (DeleteFileA(path) || RemoveDirectoryA(path))
        return 0;
    return GetLastError() == ERROR_FILE_NOT_FOUND ? ENOENT : EACCES;
}

int ListFolder(const Folder *folder, void (*each)(const char *name, void *context), void *context) {
    char pattern[kStorePathSize];
    PathOf(folder, "*", pattern);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : ENOENT;
    do {
        const char *name = found.cFileName;
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
            each(name, context);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 0;
}

uint64_t UnguessableNumber(void) {
    unsigned high = 0, low = 0;
    rand_s(&high);
    rand_s(&low);
    return (uint64_t)high << 32 | low;
}
