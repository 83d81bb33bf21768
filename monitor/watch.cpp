#include "watch.h"

#include <stdio.h>
#include <string.h>

#include "console.h"
#include "platform.h"

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

    StatisticsHandle block;
    int error = OpenStatisticsBlock(boardIndex, &block);
    if (error != 0) {
        PrintFailure("Could not open file mapping object (%d).\n", error);
        if (hint == kServiceHint)
            PrintFailureLine("Check if ziZidOzevadu is started.\n");
        return 1;
    }
    const PrpValue *view;
    error = MapStatisticsRecord(block, &view);
    if (error != 0) {
        PrintFailure("Could not map view of file (%d).\n", error);
        CloseStatisticsBlock(block);
        return 1;
    }

    // The service may change the record at any time: take one copy of it
    // and print every line of the group from that copy.
    for (;;) {
        PrpValue record;
        memcpy(&record, view, sizeof record);
        for (size_t i = 0; i < count; i++)
            printf(lines[i].format, FieldValue(&record, &lines[i]));
        fflush(stdout);
        SleepMilliseconds(1000);
    }
}
