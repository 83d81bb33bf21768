#define _CRT_RAND_S // rand_s, before any header that may bring in stdlib.h
#include "file_name.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

const char *SystemErrorText(int code) {
    static char why[256];
    DWORD error = (DWORD)code;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                       why, sizeof why, NULL) == 0)
        snprintf(why, sizeof why, "error %lu", (unsigned long)error);
    for (size_t end = strlen(why); end > 0 && strchr(".\r\n ", why[end - 1]) != NULL; end--)
        why[end - 1] = '\0';
    return why;
}

int WriteBeside(const char *path, const char *bytes, size_t count, unsigned, char *temporary,
                size_t size) {
    static wchar_t wide[32768];
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 8; attempt++) {
        unsigned high = 0, low = 0;
        rand_s(&high);
        rand_s(&low);
        if (!TemporaryFileName(path, "\\/:", (uint64_t)high << 32 | low, temporary, size) ||
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, temporary, -1, wide,
                                sizeof wide / sizeof wide[0]) == 0) {
            temporary[0] = '\0';
            return ERROR_FILENAME_EXCED_RANGE;
        }
        handle = CreateFileW(wide, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE)
        return (int)GetLastError();
    DWORD error = 0, written = 0;
    for (; error == 0 && count > 0; bytes += written, count -= written)
        if (!WriteFile(handle, bytes, count > 1u << 30 ? 1u << 30 : (DWORD)count, &written, NULL))
            error = GetLastError();
    if (!CloseHandle(handle) && error == 0)
        error = GetLastError();
    if (error != 0)
        DeleteFileW(wide);
    return (int)error;
}
