#include "names.h"

#include <errno.h>
#include <windows.h>

int ReadSmallFile(const char *path, char *bytes, size_t size, size_t *length) {
    // The path as it was typed, through the wide functions: no code page
    // between.
    wchar_t wide[MAX_PATH * 4];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_PATH * 4) == 0)
        return ENOENT;
    HANDLE file = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
    int error = GetFileType(file) != FILE_TYPE_DISK ? ENODEV : 0;
    *length = 0;
    while (error == 0) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + *length, (DWORD)(size - *length), &got, NULL)) {
            error = EIO;
            break;
        }
        if (got == 0)
            break;
        *length += got;
        if (*length == size)
            error = EFBIG;
    }
    CloseHandle(file);
    return error;
}
