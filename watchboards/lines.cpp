#include "lines.h"

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

void AppendBoardLine(Text *text, const BoardView *board, const char *time,
                     const FigureContext *context, LineFormat format) {
    bool json = format == kJson;
    AppendText(text, json ? "{\"time\":\"" : "");
    AppendText(text, time);
    AppendText(text, json ? "\"" : "");
    ForEachColumn([&](const Figure &figure, int lan) {
        if (json) {
            AppendText(text, ",\"");
            AppendName(text, figure, lan);
            AppendText(text, "\":");
        } else {
            AppendChar(text, '\t');
        }
        AppendFigure(text, figure, board, lan, context, json ? kInJson : kInLine);
    });
    AppendText(text, json ? "}\n" : "\n");
}
