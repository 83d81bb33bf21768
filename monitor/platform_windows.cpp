#include "platform.h"

#include <stdio.h>
#include <windows.h>

int OpenStatisticsBlock(int32_t boardIndex, StatisticsHandle *block) {
    wchar_t name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (mapping == NULL)
        return (int)GetLastError();
    *block = (StatisticsHandle)mapping;
    return 0;
}

int MapStatisticsRecord(StatisticsHandle block, const PrpValue **record) {
    void *view = MapViewOfFile((HANDLE)block, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PrpValue));
    if (view == NULL)
        return (int)GetLastError();
    *record = (const PrpValue *)view;
    return 0;
}

void CloseStatisticsBlock(StatisticsHandle block) { CloseHandle((HANDLE)block); }

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

void PrintFailureLine(const char *line) {
    wchar_t wide[128];
    size_t i = 0;
    for (; line[i] != '\0' && i < sizeof wide / sizeof wide[0] - 1; i++)
        wide[i] = (unsigned char)line[i];
    wide[i] = L'\0';
    fputws(wide, stdout);
}
