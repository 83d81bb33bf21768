#include "metrics.h"

#include <string.h>

#include "figures.h"

// Written straight into room made for it: the file is some hundreds of
// lines a second.
static char *Put(char *to, const char *text, size_t length) {
    memcpy(to, text, length);
    return to + length;
}

static char *PutText(char *to, const char *text) { return Put(to, text, strlen(text)); }

static char *PutHelpAndType(char *to, const Metric *metric) {
    to = PutText(PutText(PutText(Put(to, "# HELP ", 7), metric->name), " "), metric->help);
    to = PutText(PutText(Put(to, "\n# TYPE ", 8), metric->name), " ");
    return PutText(to, metric->counter ? "counter\n" : "gauge\n");
}

// A family's lines for a board, each made of the series' name and board
// label, put together once, and what follows them.
static char *PutBoard(char *to, const Figure &figure, const BoardView *board,
                      const ViewSettings *settings) {
    char series[kLongestFigure * 2];
    char *end = PutText(series, figure.metric->name);
    end = PutSigned(Put(end, "{board=\"", 8), board->boardIndex);
    size_t length = (size_t)(end - series);
    if (figure.unit == kUnitState) {
        for (int state = kBoardLive; state <= kBoardGone; state++) {
            to = Put(Put(to, series, length), "\",state=\"", 9);
            to = PutText(to, StateWord((BoardState)state));
            to = Put(to, board->state == state ? "\"} 1\n" : "\"} 0\n", 5);
        }
        return to;
    }
    if (!FigureKnownFor(figure, board))
        return to;
    static const char *const kLanLabels[kLans] = {"\",lan=\"A\"} ", "\",lan=\"B\"} "};
    for (int lan = 0; lan < (figure.ofEachLan ? kLans : 1); lan++) {
        to = Put(to, series, length);
        to = figure.ofEachLan ? Put(to, kLanLabels[lan], 11) : Put(to, "\"} ", 3);
        to = PutSigned(to, figure.value(board, lan, settings) * PlainNumberScale(figure));
        *to++ = '\n';
    }
    return to;
}

void AppendMetrics(Text *text, const BoardView *boards, int count, const ViewSettings *settings) {
    if (text->size - text->length <= MetricsRoom(count))
        return; // left out whole, as what does not fit in a text is
    char *to = text->chars + text->length;
    for (int i = 0; i < kFigureCount; i++) {
        const Figure &figure = kFigures[i];
        if (figure.metric == nullptr)
            continue;
        to = PutHelpAndType(to, figure.metric);
        for (const BoardView *board = boards; board < boards + count; board++)
            to = PutBoard(to, figure, board, settings);
    }
    *to = '\0';
    text->length = (size_t)(to - text->chars);
}
