#include "lines.h"

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
    bool first = true;
    ForEachColumn([&](const Figure &figure, int lan) {
        if (!first)
            AppendChar(text, '\t');
        first = false;
        AppendName(text, figure, lan);
    });
    AppendChar(text, '\n');
}

void AppendBoardLine(Text *text, const BoardView *board, const Text *time,
                     const ViewSettings *settings, LineFormat format) {
    // The columns, found once.
    static struct {
        int count;
        const Figure *figure[2 * kMostFigures];
        int lan[2 * kMostFigures];
    } columns;
    if (columns.count == 0)
        ForEachColumn([&](const Figure &figure, int lan) {
            columns.figure[columns.count] = &figure;
            columns.lan[columns.count++] = lan;
        });
    FigureContext context = {settings, 0, time};
    bool json = format == kJson;
    FigureOutput output = json ? kInJson : kInLine;
    if (json)
        AppendChar(text, '{');
    for (int i = 0; i < columns.count; i++) {
        const Figure &figure = *columns.figure[i];
        if (i > 0)
            AppendChar(text, json ? ',' : '\t');
        if (json) {
            AppendChar(text, '"');
            AppendName(text, figure, columns.lan[i]);
            AppendChars(text, "\":", 2);
        }
        AppendFigure(text, figure, board, columns.lan[i], &context, output);
    }
    AppendText(text, json ? "}\n" : "\n");
}
