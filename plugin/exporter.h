// The exporter's metrics file (WatchBoards --textfile), read for the 64-bit
// totals it keeps of each board since it started: the links lost, the
// seconds they were down, the receive errors and the octets.  WatchBoards
// watches every publication, so that its totals tell what happened between
// two checks, which a look of a second cannot see.
#ifndef PLUGIN_EXPORTER_H
#define PLUGIN_EXPORTER_H

#include <stddef.h>
#include <stdint.h>

#include "arguments.h"
#include "model.h"

// The totals of a LAN the file has, by the metrics' names (figures.h).
enum Total {
    kTotalLosses,
    kTotalDownSeconds,
    kTotalErrors,
    kTotalReceived,
    kTotalTransmitted,
    kTotals
};

struct BoardTotals {
    int32_t boardIndex;
    uint16_t known; // a bit a total: 1 << (lan * kTotals + total)
    uint64_t total[kLans][kTotals];
};

inline bool TotalKnown(const BoardTotals *totals, int lan, Total total) {
    return (totals->known >> (lan * kTotals + total) & 1) != 0;
}

struct ExporterFile {
    bool exporters; // it has prp_hsr_exporter_build_info: WatchBoards wrote it
    int count;
    BoardTotals boards[kMostBoards]; // by board index
};

// The file's text, in Prometheus' text format: the samples of the totals,
// a whole number each, labelled board and lan as WatchBoards writes them;
// every other line (comments, other metrics, a sample not so) is left
// aside.  A plain function of the bytes.
void ParseExporterFile(const char *bytes, size_t length, ExporterFile *file);

// The board's totals in the file; null where it has none.
const BoardTotals *TotalsOf(const ExporterFile *file, int32_t boardIndex);

// The file is fresh while written within this long: WatchBoards writes it
// every second.
enum { kFreshFileMs = 30000 };

// Reads the file at path, at nowMs on the wall clock, into file: true when
// it is the exporter's and fresh, with the moment it was written.  Otherwise
// false, with why in *why, as the long output says it ("PATH: not written
// for 45s").
bool ReadExporterFile(const char *path, uint64_t nowMs, ExporterFile *file, uint64_t *writtenMs,
                      Text *why);

#endif
