// WatchBoards' metrics file: every board's figures that have a metric, in
// Prometheus' text format (0.0.4), for the node exporter's textfile
// collector (windows_exporter's on Windows) to serve.
#ifndef WATCHBOARDS_METRICS_H
#define WATCHBOARDS_METRICS_H

#include "show.h"

// The whole file for these boards: each metric's help and type, then its
// line for each board (and LAN).  A figure not known (a link status with no
// record) is left out; a total stays once known, so that a rate falls to 0
// rather than the series vanishing.
void AppendMetrics(Text *text, const Board *const *boards, int count,
                   const FigureContext *context);

#endif
