#include "deadline.h"

#include <string.h>
#include <windows.h>

static const char *deadlineLine;
static DWORD deadlineMs;
// Who writes on standard output: the answer or the deadline, whichever
// claims it first.
static volatile LONG outputClaimed;

// Windows has no alarm: a thread that waits out the time.
static DWORD WINAPI AwaitDeadline(LPVOID) {
    Sleep(deadlineMs);
    if (InterlockedExchange(&outputClaimed, 1) != 0)
        return 0;
    // The line goes to the handle, not through the C library's stream, which
    // would have made its line end a Windows one: here that is done.
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD length = (DWORD)strlen(deadlineLine) - 1, written;
    WriteFile(output, deadlineLine, length, &written, NULL);
    WriteFile(output, "\r\n", 2, &written, NULL);
    ExitProcess(3);
}

void SetDeadline(uint32_t seconds, const char *line) {
    deadlineLine = line;
    deadlineMs = seconds * 1000;
    HANDLE thread = CreateThread(NULL, 0, AwaitDeadline, NULL, 0, NULL);
    if (thread != NULL)
        CloseHandle(thread);
}

void ClearDeadline(void) {
    // Claimed by the deadline already: its line is being written, and the
    // process ends with it.
    if (InterlockedExchange(&outputClaimed, 1) != 0)
        Sleep(INFINITE);
}

void PauseMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }
