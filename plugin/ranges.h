// Thresholds in the range syntax of the Monitoring Plugins development
// guidelines, [@][start:][end], with ~ for a start at negative infinity:
// a value outside start..end alerts, or with @ one inside it.  "10" alerts
// below 0 and above 10, "10:" below 10, "~:10" above 10, "10:20" outside
// 10..20, "@10:20" inside.  A range is read and applied as
// Monitoring::Plugin::Range reads and applies it, so that a threshold
// means here what it means to every plugin written with that library.
#ifndef PLUGIN_RANGES_H
#define PLUGIN_RANGES_H

struct Range {
    const char *text; // as given, for the performance data; null: none set
    bool inside;      // @: alert inside start..end
    bool fromNegativeInfinity, toInfinity;
    double start, end;
};

// Reads text as a range whose numbers are decimal, from 0 to most (digits,
// with a point and more digits allowed: "2.5").  False when it is none.
bool ParseRange(const char *text, double most, Range *range);

// Whether value alerts under the range; never when none is set.
bool Alerts(const Range *range, double value);

#endif
