// WatchBoards' metrics file: every board's figures that have a metric, in
// Prometheus' text format (0.0.4), for the node exporter's textfile
// collector (windows_exporter's on Windows) to serve.
#ifndef WATCHBOARDS_METRICS_H
#define WATCHBOARDS_METRICS_H

#include "board_view.h"
#include "text.h"

// The room the file takes at most: each metric's help and type, and the
// lines of each board.
enum { kMetricsHeadRoom = 4096, kBoardMetricsRoom = 2048 };
inline size_t MetricsRoom(int boards) {
    return kMetricsHeadRoom + (size_t)boards * kBoardMetricsRoom;
}

// The whole file for these boards, when text has MetricsRoom for them:
// each metric's help and type, then its line for each board (and LAN).  A figure not known (a link status with
// no record) is left out; a total stays once known, so that a rate falls
// to 0 rather than the series vanishing.
void AppendMetrics(Text *text, const BoardView *boards, int count, const ViewSettings *settings);

#endif
