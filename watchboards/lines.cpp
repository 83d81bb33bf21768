#include "lines.h"

#include <string.h>

#include "figures.h"

static const char kLanSuffixes[kLans] = {'A', 'B'};

// Calls put(figure, lan) for each column of a line, in order.
template <typename Put> static void ForEachColumn(Put put) {
    for (int i = 0; i < kFigureCount; i++) {
        const Figure &figure = kFigures[i];
        if (figure.name == nullptr)
            continue;
        for (int lan = 0; lan < (figure.ofEachLan ? kLans : 1); lan++)
            put(figure, lan);
    }
}

static void AppendName(Text *text, const Figure &figure, int lan) {
    AppendText(text, figure.name);
    if (figure.ofEachLan)
        AppendChar(text, kLanSuffixes[lan]);
}

void AppendHeaderLine(Text *text, LineFormat format) {
    if (format == kJson)
        return;
    AppendText(text, "time");
    ForEachColumn([&](const Figure &figure, int lan) {
        AppendChar(text, '\t');
        AppendName(text, figure, lan);
    });
    AppendChar(text, '\n');
}

// The columns, found once: each with its figure, its LAN, and for JSON its
// member's name as written ("\"rxGoodOctetsA\":").
static struct {
    int count;
    const Figure *figure[2 * kMostFigures];
    int lan[2 * kMostFigures];
    char member[2 * kMostFigures][kLongestFigure];
    size_t memberLength[2 * kMostFigures];
} columns;

static void FindColumns(void) {
    ForEachColumn([](const Figure &figure, int lan) {
        int i = columns.count++;
        columns.figure[i] = &figure;
        columns.lan[i] = lan;
        Text member = TEXT_IN(columns.member[i]);
        AppendChar(&member, '"');
        AppendName(&member, figure, lan);
        AppendText(&member, "\":");
        columns.memberLength[i] = member.length;
    });
}

// The line, written straight into room made for the longest: the round's
// time, then the board's figures.  Most figures are plain numbers there:
// each second takes some hundreds.
static char *PutBoardLine(char *to, const BoardView *board, const Text *time,
                          const FigureContext *context, LineFormat format) {
    bool json = format == kJson;
    FigureOutput output = json ? kInJson : kInLine;
    if (json) {
        memcpy(to, "{\"time\":\"", 9);
        to += 9;
    }
    memcpy(to, time->chars, time->length);
    to += time->length;
    if (json)
        *to++ = '"';
    unsigned known = KnownFigures(board);
    for (int i = 0; i < columns.count; i++) {
        const Figure &figure = *columns.figure[i];
        if (json) {
            *to++ = ',';
            memcpy(to, columns.member[i], columns.memberLength[i]);
            to += columns.memberLength[i];
        } else {
            *to++ = '\t';
        }
        // A known plain number, as AppendFigure writes it, put straight:
        // the most of a line, and a third of its cost the other way.
        int scale = PlainNumberScale(figure);
        if (scale != 0 && (known >> figure.known & 1)) {
            to = PutSigned(to, figure.value(board, columns.lan[i], context->settings) * scale);
            continue;
        }
        Text text = TextIn(to, kLongestFigure + 1);
        AppendFigure(&text, figure, board, columns.lan[i], context, output);
        to += text.length;
    }
    if (json)
        *to++ = '}';
    *to++ = '\n';
    return to;
}

void AppendBoardLine(Text *text, const BoardView *board, const Text *time,
                     const ViewSettings *settings, LineFormat format) {
    if (columns.count == 0)
        FindColumns();
    FigureContext context = {settings, 0};
    if (text->size - text->length > kLongestLine) {
        char *end = PutBoardLine(text->chars + text->length, board, time, &context, format);
        *end = '\0';
        text->length = (size_t)(end - text->chars);
    } else { // left out whole when it does not fit
        char line[kLongestLine + 1];
        AppendChars(text, line, (size_t)(PutBoardLine(line, board, time, &context, format) - line));
    }
}
