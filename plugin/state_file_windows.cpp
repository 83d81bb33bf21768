#include "state_file.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "file_name.h"

const char kPathSeparator = '\\';

// The longest path the wide functions take, in UTF-16 units.
enum { kLongestPath = 32768 };

// A path in UTF-8 as the wide functions take it; false when it is too long
// or no UTF-8.
static bool WidePath(const char *path, wchar_t *wide) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, kLongestPath) > 0;
}

// An environment variable in UTF-8, appended; false where it is not set or
// empty.
static bool AppendVariable(Text *text, const wchar_t *name) {
    static wchar_t value[kLongestPath];
    static char utf8[4 * kLongestPath];
    DWORD length = GetEnvironmentVariableW(name, value, kLongestPath);
    if (length == 0 || length >= kLongestPath ||
        WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, NULL, NULL) == 0)
        return false;
    AppendText(text, utf8);
    return true;
}

bool DefaultStateBase(Text *base) {
    if (AppendVariable(base, L"MP_STATE_PATH"))
        return true;
    if (!AppendVariable(base, L"ProgramData"))
        return false;
    AppendText(base, "\\monitoring-plugins");
    return true;
}

// "PATH: why", the path's control characters escaped; false.
static bool Say(Text *why, const char *path, const char *what) {
    static char shown[4 * kLongestPath];
    EscapeControls(path, shown, sizeof shown);
    AppendText(why, shown);
    AppendText(why, ": ");
    AppendText(why, what);
    return false;
}

static bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool KeepFolder(const char *folder, Text *why) {
    static wchar_t path[kLongestPath];
    if (!WidePath(folder, path))
        return Say(why, folder, SystemErrorText((int)GetLastError()));
    // Each folder from the top, made where missing; a drive ("C:") and a
    // share are there or not.
    size_t length = wcslen(path);
    for (size_t end = 1; end <= length; end++) {
        if (!IsSeparator(path[end]) && path[end] != L'\0')
            continue;
        wchar_t kept = path[end];
        path[end] = L'\0';
        DWORD attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES && path[end - 1] != L':' &&
            !IsSeparator(path[end - 1]) && !CreateDirectoryW(path, NULL) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            DWORD error = GetLastError();
            path[end] = kept;
            return Say(why, folder, SystemErrorText((int)error));
        }
        path[end] = kept;
    }
    // A link (a junction) would lead the state elsewhere.
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Say(why, folder, SystemErrorText((int)GetLastError()));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Say(why, folder, "not a folder");
    return true;
}

StateFileRead ReadStateFile(const char *path, char *bytes, size_t size, size_t *length,
                            uint32_t *error) {
    static wchar_t wide[kLongestPath];
    *length = 0;
    if (!WidePath(path, wide)) {
        *error = GetLastError();
        return kStateFileFailed;
    }
    // The link itself, if it is one, not what it leads to.
    HANDLE file = CreateFileW(
        wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
        OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? kStateFileMissing
                                                                                : kStateFileFailed;
    }
    BY_HANDLE_FILE_INFORMATION information;
    StateFileRead read = kStateFileRead;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        read = kStateFileNotRegular;
    while (read == kStateFileRead) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + *length, (DWORD)(size - *length), &got, NULL)) {
            *error = GetLastError();
            read = kStateFileFailed;
        }
        if (got == 0)
            break;
        *length += got;
        if (*length == size)
            read = kStateFileTooLong;
    }
    CloseHandle(file);
    return read;
}

bool ReplaceStateFile(const char *path, const char *bytes, size_t count, Text *why) {
    static wchar_t file[kLongestPath], wideTemporary[kLongestPath];
    static char temporary[4 * kLongestPath];
    if (!WidePath(path, file))
        return Say(why, path, SystemErrorText((int)GetLastError()));
    int error = WriteBeside(path, bytes, count, 0, temporary, sizeof temporary);
    if (error == 0) {
        WidePath(temporary, wideTemporary); // it was written by that name
        if (!MoveFileExW(wideTemporary, file, MOVEFILE_REPLACE_EXISTING)) {
            error = (int)GetLastError();
            DeleteFileW(wideTemporary);
        }
    }
    // Said of the state file, which the user knows.
    return error == 0 || Say(why, path, SystemErrorText(error));
}

int FileWrittenMs(const char *path, uint64_t *writtenMs) {
    static wchar_t wide[kLongestPath];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!WidePath(path, wide) || !GetFileAttributesExW(wide, GetFileExInfoStandard, &data))
        return ENOENT;
    // Hundreds of nanoseconds since 1601.
    uint64_t ticks =
        (uint64_t)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
    *writtenMs = ticks / 10000 - 11644473600000ull;
    return 0;
}

const char *DefaultTextfile(void) {
    static char path[4 * kLongestPath];
    static wchar_t wide[kLongestPath];
    Text text = TEXT_IN(path);
    if (!AppendVariable(&text, L"ProgramFiles"))
        return NULL;
    AppendText(&text, "\\windows_exporter\\textfile_inputs\\prp-hsr.prom");
    return WidePath(path, wide) && GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES ? path
                                                                                       : NULL;
}
