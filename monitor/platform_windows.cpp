#include "platform.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

int OpenStatisticsBlock(int32_t boardIndex, StatisticsBlock *block) {
    wchar_t name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (mapping == NULL)
        return (int)GetLastError();
    block->boardIndex = boardIndex;
    block->handle = (intptr_t)mapping;
    block->view = NULL;
    return 0;
}

int MapStatisticsRecord(StatisticsBlock *block) {
    void *view = MapViewOfFile((HANDLE)block->handle, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PrpValue));
    if (view == NULL)
        return (int)GetLastError();
    block->view = (const PrpValue *)view;
    return 0;
}

void CloseStatisticsBlock(StatisticsBlock *block) {
    if (block->view != NULL)
        UnmapViewOfFile(block->view);
    CloseHandle((HANDLE)block->handle);
}

// A section neither shrinks nor goes while a handle to it is open, and a
// restarted publisher opens the very section the monitor holds.
BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy) {
    memcpy(copy, block->view, sizeof *copy);
    return kBlockWhole;
}

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

void PrintFailureLine(const char *line) {
    wchar_t wide[128];
    size_t i = 0;
    for (; line[i] != '\0' && i < sizeof wide / sizeof wide[0] - 1; i++)
        wide[i] = (unsigned char)line[i];
    wide[i] = L'\0';
    fputws(wide, stdout);
}
