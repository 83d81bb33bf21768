#include "platform.h"

#include <stdio.h>
#include <windows.h>

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

void PrintFailureLine(const char *line) {
    wchar_t wide[128];
    size_t i = 0;
    for (; line[i] != '\0' && i < sizeof wide / sizeof wide[0] - 1; i++)
        wide[i] = (unsigned char)line[i];
    wide[i] = L'\0';
    fputws(wide, stdout);
}
