#include "system.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "console.h"
#include "grid.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif


uint64_t MonotonicMilliseconds(void) { return GetTickCount64(); }

static volatile LONG endRequested;
static HANDLE endEvent;

// Runs on a thread of the system's own: sets the flag and wakes the wait.
static BOOL WINAPI RequestEnd(DWORD) {
    InterlockedExchange(&endRequested, 1);
    SetEvent(endEvent);
    return TRUE;
}

void CatchEndRequests(void) {
    endEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(RequestEnd, TRUE);
}

bool EndRequested(void) { return endRequested != 0; }

void WaitMilliseconds(uint32_t milliseconds) { WaitForSingleObject(endEvent, milliseconds); }

// Why the last call failed, in the system's words, without the line end.
static const char *LastError(void) {
    static char why[256];
    DWORD error = GetLastError();
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                       why, sizeof why, NULL) == 0)
        snprintf(why, sizeof why, "error %lu", (unsigned long)error);
    for (size_t end = strlen(why); end > 0 && strchr(".\r\n ", why[end - 1]) != NULL; end--)
        why[end - 1] = '\0';
    return why;
}

const char *ReplaceWholeFile(const char *path, const char *bytes, size_t count) {
    wchar_t file[MAX_PATH + 8], temporary[MAX_PATH + 8];
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, file, MAX_PATH);
    if (length == 0)
        return LastError();
    wcscpy(temporary, file);
    wcscat(temporary, L".tmp");
    DeleteFileW(temporary); // one a run that was killed left
    HANDLE handle = CreateFileW(temporary, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return LastError();
    const char *why = NULL;
    DWORD written = 0;
    for (; why == NULL && count > 0; bytes += written, count -= written)
        if (!WriteFile(handle, bytes, count > 1u << 30 ? 1u << 30 : (DWORD)count, &written, NULL))
            why = LastError();
    if (!CloseHandle(handle) && why == NULL)
        why = LastError();
    if (why == NULL && !MoveFileExW(temporary, file, MOVEFILE_REPLACE_EXISTING))
        why = LastError();
    if (why != NULL)
        DeleteFileW(temporary);
    return why;
}

void WriteOutput(const char *bytes, size_t count) {
    fwrite(bytes, 1, count, stdout);
    FlushOutput();
}

static HANDLE output, input;
static DWORD outputMode, inputMode;
static UINT outputCodePage;
static bool keysRead; // standard input is a console too

static bool screenOpen;

// Leaves the terminal as OpenScreen found it.
void LeaveScreen(void) {
    if (!screenOpen)
        return;
    screenOpen = false;
    fputs(kLeaveScreen, stdout);
    fflush(stdout);
    SetConsoleOutputCP(outputCodePage);
    SetConsoleMode(output, outputMode);
    if (keysRead)
        SetConsoleMode(input, inputMode);
}

bool OpenScreen(TerminalAbilities *abilities) {
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    // A console that takes no VT sequences (older than Windows 10, or one
    // that accepts the mode without keeping it): lines instead.
    DWORD mode;
    if (!GetConsoleMode(output, &outputMode) ||
        !SetConsoleMode(output,
                        outputMode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
        !GetConsoleMode(output, &mode) || !(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        SetConsoleMode(output, outputMode);
        return false;
    }
    outputCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    input = GetStdHandle(STD_INPUT_HANDLE);
    keysRead = GetConsoleMode(input, &inputMode) != 0;
    // Each key as it is typed, Ctrl-C included (read as a key, so that the
    // screen is left in order), nothing echoed; size changes as events.
    if (keysRead)
        SetConsoleMode(input, ENABLE_WINDOW_INPUT);
    atexit(LeaveScreen);
    fputs(kEnterScreen, stdout);
    screenOpen = true;
    // A console that keeps virtual terminal processing shows colours, and
    // UTF-8 in the code page set above.
    abilities->colour = true;
    abilities->utf8 = true;
    return true;
}

void ScreenSize(int *rows, int *columns) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) {
        *rows = 24;
        *columns = 80;
        return;
    }
    *rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    *columns = info.srWindow.Right - info.srWindow.Left + 1;
}

int ReadKey(uint32_t timeoutMs) {
    if (EndRequested())
        return kNoKey;
    if (!keysRead) {
        WaitMilliseconds(timeoutMs);
        return kNoKey;
    }
    HANDLE waited[] = {input, endEvent};
    if (WaitForMultipleObjects(2, waited, FALSE, timeoutMs) != WAIT_OBJECT_0)
        return kNoKey;
    INPUT_RECORD record;
    DWORD count;
    if (!ReadConsoleInputW(input, &record, 1, &count) || count == 0)
        return kNoKey;
    if (record.EventType == WINDOW_BUFFER_SIZE_EVENT)
        return kKeyResized;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown)
        return kNoKey;
    switch (record.Event.KeyEvent.wVirtualKeyCode) {
    case VK_UP:
        return kKeyUp;
    case VK_DOWN:
        return kKeyDown;
    }
    return record.Event.KeyEvent.uChar.UnicodeChar;
}
