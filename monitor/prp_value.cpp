#include "prp_value.h"

#include <stdio.h>
#include <wchar.h>

void StatisticsMapName(int32_t boardIndex, StatisticsNameChar name[kStatisticsMapNameSize]) {
#ifdef _WIN32
    _snwprintf(name, kStatisticsMapNameSize, L"Global\\QvPrpFileMapObject%d", (int)boardIndex);
#else
    snprintf(name, kStatisticsMapNameSize, "/QvPrpFileMapObject%d", (int)boardIndex);
#endif
}
