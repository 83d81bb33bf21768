#define _CRT_RAND_S // rand_s
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <windows.h>

#include "store.h"

// The store's paths and names are kept in UTF-8, and handed to the wide
// functions of Windows: the ANSI ones would lose every letter outside the
// code page, in a folder's name or in a user name within %TEMP%.

// A path as Windows takes it; false when it does not fit.
static bool Wide(const char *narrow, wchar_t *wide) {
    return MultiByteToWideChar(CP_UTF8, 0, narrow, -1, wide, kStorePathSize) > 0;
}

// Text in UTF-8, cut short at a whole character to fit size.
static void Narrow(const wchar_t *wide, char *narrow, size_t size) {
    size_t length = 0;
    for (const wchar_t *c = wide; *c != L'\0';) {
        int units = IS_HIGH_SURROGATE(c[0]) && IS_LOW_SURROGATE(c[1]) ? 2 : 1;
        char bytes[4];
        int count = WideCharToMultiByte(CP_UTF8, 0, c, units, bytes, sizeof bytes, NULL, NULL);
        if (count <= 0 || length + (size_t)count >= size)
            break;
        memcpy(narrow + length, bytes, (size_t)count);
        length += (size_t)count;
        c += units;
    }
    narrow[length] = '\0';
}

// The errno value nearest to a Windows error.  One not known here is
// EINVAL: a failure is never taken for a folder or file that is missing.
static int ErrorNumber(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EINVAL;
    }
}

// A variable of the environment in UTF-8; false when it is unset or empty.
static bool Variable(const wchar_t *name, char *value, size_t size) {
    static wchar_t wide[32767]; // the longest a variable may be
    DWORD length = GetEnvironmentVariableW(name, wide, sizeof wide / sizeof *wide);
    if (length == 0 || length >= sizeof wide / sizeof *wide)
        return false;
    Narrow(wide, value, size);
    return true;
}

void StoreFolder(char *path, size_t size) {
    if (Variable(L"QVGPIO_SIM_DIR", path, size))
        return;
    char temporary[kStorePathSize];
    if (!Variable(L"TEMP", temporary, sizeof temporary))
        snprintf(temporary, sizeof temporary, ".");
    snprintf(path, size, "%s\\qvgpio-sim", temporary);
}

// A path that is not found may run through a file, where Linux says
// ENOTDIR: a store there is no store missing, to be read as empty.  The
// nearest part of the path that exists tells.
static int NotFound(const wchar_t *path) {
    static wchar_t part[kStorePathSize];
    wcsncpy(part, path, kStorePathSize - 1);
    for (wchar_t *separator; (separator = wcspbrk(part, L"\\/")) != NULL;) {
        while (wchar_t *next = wcspbrk(separator + 1, L"\\/"))
            separator = next;
        *separator = L'\0';
        DWORD attributes = GetFileAttributesW(part);
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return attributes & FILE_ATTRIBUTE_DIRECTORY ? ENOENT : ENOTDIR;
    }
    return ENOENT;
}

// Windows folders carry no owner that a plain stat shows; the store's
// default under the user's own %TEMP% is the user's.  A junction or link in
// place of a folder is refused all the same.
static int CheckFolder(const wchar_t *path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        int error = ErrorNumber(GetLastError());
        return error == ENOENT ? NotFound(path) : error;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return ELOOP;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : ENOTDIR;
}

static int OpenFolder(const char *path, bool make, Folder *folder) {
    folder->fd = -1;
    wchar_t wide[kStorePathSize];
    if (snprintf(folder->path, sizeof folder->path, "%s", path) >= (int)sizeof folder->path ||
        !Wide(path, wide))
        return ENAMETOOLONG;
    int error = CheckFolder(wide);
    if (error == ENOENT && make) {
        if (!CreateDirectoryW(wide, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return ErrorNumber(GetLastError());
        error = CheckFolder(wide);
    }
    return error;
}

int OpenStoreFolder(const char *path, bool make, Folder *folder) {
    return OpenFolder(path, make, folder);
}

int OpenSubfolder(const Folder *parent, const char *name, bool make, Folder *folder) {
    char path[kStorePathSize + 256];
    snprintf(path, sizeof path, "%s\\%s", parent->path, name);
    return OpenFolder(path, make, folder);
}

void CloseFolder(Folder *) {}

// The path of name in folder; false when it does not fit.
static bool PathOf(const Folder *folder, const char *name, wchar_t *path) {
    char narrow[kStorePathSize];
    return snprintf(narrow, sizeof narrow, "%s\\%s", folder->path, name) < (int)sizeof narrow &&
           Wide(narrow, path);
}

int OpenFile(const Folder *folder, const char *name, FileAccess access, int *fd) {
    static const int kFlags[] = {
        O_RDONLY,
        O_WRONLY | O_APPEND | O_CREAT,
        O_WRONLY | O_CREAT | O_EXCL,
    };
    wchar_t path[kStorePathSize];
    *fd = -1;
    if (!PathOf(folder, name, path))
        return ENAMETOOLONG;
    *fd = _wopen(path, kFlags[access] | O_BINARY | O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (*fd < 0) {
        // A folder under the name is refused as a file no one may open.
        DWORD attributes = GetFileAttributesW(path);
        bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && attributes & FILE_ATTRIBUTE_DIRECTORY;
        return errno == EACCES && folder ? kNotRegular : errno;
    }
    struct _stat64 status;
    int error = _fstat64(*fd, &status) != 0 ? errno : (status.st_mode & _S_IFREG) ? 0 : kNotRegular;
    if (error != 0) {
        _close(*fd);
        *fd = -1;
    }
    return error;
}

int RenameFile(const Folder *folder, const char *from, const char *to) {
    wchar_t fromPath[kStorePathSize], toPath[kStorePathSize];
    if (!PathOf(folder, from, fromPath) || !PathOf(folder, to, toPath))
        return ENAMETOOLONG;
    return MoveFileExW(fromPath, toPath, MOVEFILE_REPLACE_EXISTING) ? 0
                                                                    : ErrorNumber(GetLastError());
}

int RemoveEntry(const Folder *folder, const char *name) {
    wchar_t path[kStorePathSize];
    if (!PathOf(folder, name, path))
        return ENAMETOOLONG;
    if (DeleteFileW(path))
        return 0;
    int error = ErrorNumber(GetLastError());
    return RemoveDirectoryW(path) ? 0 : error;
}

int ListFolder(const Folder *folder, void (*each)(const char *name, void *context), void *context) {
    wchar_t pattern[kStorePathSize];
    if (!PathOf(folder, "*", pattern))
        return ENAMETOOLONG;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : ErrorNumber(GetLastError());
    do {
        char name[4 * MAX_PATH];
        Narrow(found.cFileName, name, sizeof name);
        if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
            each(name, context);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 0;
}

uint64_t UnguessableNumber(void) {
    unsigned high = 0, low = 0;
    rand_s(&high);
    rand_s(&low);
    return (uint64_t)high << 32 | low;
}

void SayFailure(const char *program, const char *failure) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode;
    if (!GetConsoleMode(error, &mode)) {
        fprintf(stderr, "%s: %s\n", program, failure);
        return;
    }
    // The console takes UTF-8 only where its code page says so: wide text
    // shows the same anywhere.
    static char line[kStorePathSize + 2000];
    static wchar_t wide[sizeof line];
    snprintf(line, sizeof line, "%s: %s\r\n", program, failure);
    int length = MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, sizeof line);
    DWORD written;
    if (length > 1)
        WriteConsoleW(error, wide, (DWORD)length - 1, &written, NULL);
}
