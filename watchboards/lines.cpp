#include "lines.h"

static const char kLanSuffixes[kLans] = {'A', 'B'};

// Calls put(figure, lan) for each column of a line, in order.
template <typename Put> static void ForEachColumn(Put put) {
    for (int id = 0; id < kFigureCount; id++) {
        if (kFigures[id].name == nullptr)
            continue;
        for (int lan = 0; lan < (kFigures[id].ofEachLan ? kLans : 1); lan++)
            put((FigureId)id, lan);
    }
}

static void AppendName(Text *text, FigureId id, int lan) {
    AppendText(text, kFigures[id].name);
    if (kFigures[id].ofEachLan)
        AppendChar(text, kLanSuffixes[lan]);
}

void AppendHeaderLine(Text *text, LineFormat format) {
    if (format == kJson)
        return;
    AppendText(text, "time");
    ForEachColumn([&](FigureId id, int lan) {
        AppendChar(text, '\t');
        AppendName(text, id, lan);
    });
    AppendChar(text, '\n');
}

void AppendBoardLine(Text *text, const Board *board, const char *time,
                     const FigureContext *context, LineFormat format) {
    bool json = format == kJson;
    AppendText(text, json ? "{\"time\":\"" : "");
    AppendText(text, time);
    AppendText(text, json ? "\"" : "");
    ForEachColumn([&](FigureId id, int lan) {
        if (json) {
            AppendText(text, ",\"");
            AppendName(text, id, lan);
            AppendText(text, "\":");
        } else {
            AppendChar(text, '\t');
        }
        AppendFigure(text, id, board, lan, context, json ? kInJson : kInLine);
    });
    AppendText(text, json ? "}\n" : "\n");
}
