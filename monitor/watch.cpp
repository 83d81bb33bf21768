#include "watch.h"

#include <stdio.h>
#include <string.h>

#include "console.h"
#include "platform.h"
#include "statistics_block.h"

static int FieldValue(const PrpValue *record, const WatchedLine *line) {
    const uint8_t *field = (const uint8_t *)record + line->offset;
    if (line->size == 1)
        return *field;
    int32_t value;
    memcpy(&value, field, sizeof value);
    return value;
}

static void PrintFailure(const char *format, int error) {
    char line[64];
    snprintf(line, sizeof line, format, error);
    PrintFailureLine(line);
}

int WatchStatistics(const WatchedLine *lines, size_t count, ServiceHint hint) {
    fputs("Enter the board index:", stdout);
    int32_t boardIndex = ReadDecimal();

    StatisticsBlock block;
    int error = OpenStatisticsBlock(boardIndex, kAllAccess, &block);
    if (error != 0) {
        PrintFailure("Could not open file mapping object (%d).\n", error);
        if (hint == kServiceHint)
            PrintFailureLine("Check if ziZidOzevadu is started.\n");
        return 1;
    }
    error = MapStatisticsRecord(&block);
    if (error != 0) {
        PrintFailure("Could not map view of file (%d).\n", error);
        CloseStatisticsBlock(&block);
        return 1;
    }

    // The service may change the record at any time: take one copy of it
    // and print every line of the group from that copy.  While the block
    // cannot give a whole record, the last one is printed again, as for a
    // service that has stopped updating.
    PrpValue record;
    memset(&record, 0, sizeof record);
    for (;;) {
        CopyStatisticsRecord(&block, &record);
        for (size_t i = 0; i < count; i++)
            printf(lines[i].format, FieldValue(&record, &lines[i]));
        FlushOutput();
        SleepMilliseconds(1000);
    }
}
