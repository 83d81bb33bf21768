#include "block_name.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#define BLOCK_PREFIX "QvPrpFileMapObject"

void StatisticsMapName(int32_t boardIndex, StatisticsNameChar name[kStatisticsMapNameSize]) {
#ifdef _WIN32
    _snwprintf(name, kStatisticsMapNameSize, L"Global\\" BLOCK_PREFIX "%d", (int)boardIndex);
#else
    snprintf(name, kStatisticsMapNameSize, "/" BLOCK_PREFIX "%d", (int)boardIndex);
#endif
}

bool ParseBoardIndex(const char *text, size_t length, int32_t *boardIndex) {
    bool negative = length > 0 && text[0] == '-';
    size_t at = negative ? 1 : 0;
    if (at == length)
        return false;
    uint64_t most = negative ? 2147483648u : 2147483647u, magnitude = 0;
    for (; at < length; at++) {
        if (text[at] < '0' || text[at] > '9')
            return false;
        magnitude = magnitude * 10 + (uint64_t)(text[at] - '0');
        if (magnitude > most)
            return false;
    }
    *boardIndex = (int32_t)(negative ? 0 - magnitude : magnitude);
    return true;
}

bool BoardOfListedBlock(const char *name, int32_t *boardIndex) {
    static const char kPrefix[] = BLOCK_PREFIX;
    if (strncmp(name, kPrefix, sizeof kPrefix - 1) != 0)
        return false;
    const char *number = name + sizeof kPrefix - 1;
    // "-0", "007", "-07": names no publisher makes.
    const char *digits = number[0] == '-' ? number + 1 : number;
    if (digits[0] == '0' && (digits[1] != '\0' || digits != number))
        return false;
    return ParseBoardIndex(number, strlen(number), boardIndex);
}
