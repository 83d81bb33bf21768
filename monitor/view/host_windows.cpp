#include "host.h"

#include <windows.h>

#include "platform.h"

// Named objects cannot be listed: the boards a service usually serves are
// tried one by one.
enum { kBoardsTried = 16 };

int ListPublishedBoards(int32_t *boardIndices, int most) {
    int count = 0;
    for (int32_t boardIndex = 0; boardIndex < kBoardsTried && count < most; boardIndex++) {
        StatisticsBlock block;
        if (OpenStatisticsBlock(boardIndex, &block) == 0) {
            CloseStatisticsBlock(&block);
            boardIndices[count++] = boardIndex;
        }
    }
    return count;
}

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

HANDLE EndEvent(void) { return endEvent; }
