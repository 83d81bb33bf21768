#include "exporter.h"

#include <errno.h>
#include <string.h>

#include "block_name.h"
#include "figures.h"
#include "file_name.h"
#include "names.h"
#include "state_file.h"

// The totals by the metrics' names, as WatchBoards writes them.
static const Metric *const kTotalMetrics[kTotals] = {
    &figure_rows::kLinkLosses, &figure_rows::kLinkDownSeconds, &figure_rows::kErrorsTotal,
    &figure_rows::kReceived, &figure_rows::kTransmitted};

// WatchBoards' own metric, which no other file has.
static const char kBuildInfo[] = "prp_hsr_exporter_build_info";

// Where the board is, or would go, among the file's boards in order.
static int PlaceOf(const ExporterFile *file, int32_t boardIndex) {
    int at = 0, past = file->count;
    while (at < past) {
        int middle = at + (past - at) / 2;
        if (file->boards[middle].boardIndex < boardIndex)
            at = middle + 1;
        else
            past = middle;
    }
    return at;
}

const BoardTotals *TotalsOf(const ExporterFile *file, int32_t boardIndex) {
    int at = PlaceOf(file, boardIndex);
    return at < file->count && file->boards[at].boardIndex == boardIndex ? &file->boards[at]
                                                                         : nullptr;
}

// The board's totals, in order of board index; null where there is no room.
// WatchBoards writes each metric's boards in order: a board new to the file
// goes at the end.
static BoardTotals *Take(ExporterFile *file, int32_t boardIndex) {
    int at = PlaceOf(file, boardIndex);
    if (at < file->count && file->boards[at].boardIndex == boardIndex)
        return &file->boards[at];
    if (file->count == kMostBoards)
        return nullptr;
    memmove(&file->boards[at + 1], &file->boards[at],
            (size_t)(file->count - at) * sizeof file->boards[0]);
    file->count++;
    BoardTotals *totals = &file->boards[at];
    memset(totals, 0, sizeof *totals);
    totals->boardIndex = boardIndex;
    return totals;
}

// A label's value between double quotes, from *p on, into value: false
// where it is not one, or longer than size.
static bool LabelValue(const char **p, const char *end, char *value, size_t size) {
    if (*p == end || **p != '"')
        return false;
    size_t length = 0;
    for (const char *c = *p + 1; c < end; c++) {
        char next = *c;
        if (next == '"') {
            value[length] = '\0';
            *p = c + 1;
            return true;
        }
        if (next == '\\') { // \\, \" and \n
            if (++c == end)
                return false;
            next = *c == 'n' ? '\n' : *c;
        }
        if (length + 1 >= size)
            return false;
        value[length++] = next;
    }
    return false;
}

// One line: a sample of a total for a board's LAN, taken into file.
static void TakeSample(ExporterFile *file, const char *line, const char *end) {
    const char *p = line;
    while (p < end && *p != '{' && *p != ' ')
        p++;
    size_t nameLength = (size_t)(p - line);
    if (nameLength == sizeof kBuildInfo - 1 && memcmp(line, kBuildInfo, nameLength) == 0) {
        file->exporters = true;
        return;
    }
    int total = 0;
    while (total < kTotals && (strlen(kTotalMetrics[total]->name) != nameLength ||
                               memcmp(kTotalMetrics[total]->name, line, nameLength) != 0))
        total++;
    if (total == kTotals || p == end || *p != '{')
        return;
    int32_t boardIndex = 0;
    int lan = -1;
    bool boardGiven = false;
    for (p++; p < end && *p != '}';) {
        const char *key = p;
        while (p < end && *p != '=')
            p++;
        size_t keyLength = (size_t)(p - key);
        char value[32];
        p += p < end;
        if (!LabelValue(&p, end, value, sizeof value))
            return;
        if (keyLength == 5 && memcmp(key, "board", 5) == 0) {
            if (!ParseBoardIndex(value, strlen(value), &boardIndex))
                return;
            boardGiven = true;
        } else if (keyLength == 3 && memcmp(key, "lan", 3) == 0) {
            lan = strcmp(value, "A") == 0 ? kLanA : strcmp(value, "B") == 0 ? kLanB : -2;
        }
        if (p < end && *p == ',')
            p++;
    }
    if (p == end || !boardGiven || lan < 0)
        return;
    p++;
    if (p == end || *p != ' ')
        return;
    p++;
    // A whole number, as WatchBoards writes its totals; a timestamp may
    // follow.
    uint64_t value = 0;
    const char *digits = p;
    for (; p < end && *p >= '0' && *p <= '9'; p++) {
        uint64_t digit = (uint64_t)(*p - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return;
        value = value * 10 + digit;
    }
    if (p == digits || (p < end && *p != ' '))
        return;
    BoardTotals *totals = Take(file, boardIndex);
    if (totals == nullptr)
        return;
    totals->total[lan][total] = value;
    totals->known |= (uint16_t)(1u << (lan * kTotals + total));
}

void ParseExporterFile(const char *bytes, size_t length, ExporterFile *file) {
    file->exporters = false;
    file->count = 0;
    const char *end = bytes + length;
    for (const char *line = bytes; line < end;) {
        const char *stop = (const char *)memchr(line, '\n', (size_t)(end - line));
        stop = stop != nullptr ? stop : end;
        const char *last = stop > line && stop[-1] == '\r' ? stop - 1 : stop;
        if (line < last && *line != '#')
            TakeSample(file, line, last);
        line = stop + 1;
    }
}

// Says why the file is not read: "PATH: what".
static bool NotRead(Text *why, const char *path, const char *what, const char *more) {
    char shown[512];
    EscapeControls(path, shown, sizeof shown);
    AppendText(why, shown);
    AppendText(why, ": ");
    AppendText(why, what);
    AppendText(why, more);
    return false;
}

bool ReadExporterFile(const char *path, uint64_t nowMs, ExporterFile *file, uint64_t *writtenMs,
                      Text *why) {
    // Room for 1024 boards' metrics, whatever else the file holds.
    static char bytes[2 << 20];
    size_t length = 0;
    int error = ReadSmallFile(path, bytes, sizeof bytes, &length);
    if (error == 0)
        error = FileWrittenMs(path, writtenMs);
    if (error != 0)
        return NotRead(why, path,
                       error == ENODEV  ? "not a regular file"
                       : error == EFBIG ? "longer than the exporter's file of 1024 boards"
                                        : strerror(error),
                       "");
    ParseExporterFile(bytes, length, file);
    if (!file->exporters)
        return NotRead(why, path, "not the exporter's (no ", "prp_hsr_exporter_build_info)");
    if (*writtenMs + kFreshFileMs < nowMs) {
        char age[kLongestDuration + 1];
        Text text = TEXT_IN(age);
        AppendDuration(&text, (nowMs - *writtenMs) / 1000);
        return NotRead(why, path, "not written for ", age);
    }
    return true;
}
