#include "metrics.h"

#include "figures.h"

static const char kLanNames[kLans] = {'A', 'B'};

// name{board="N" (a caller adds more labels and the closing brace).
static void AppendSeries(Text *text, const Metric *metric, const BoardView *board) {
    AppendText(text, metric->name);
    AppendText(text, "{board=\"");
    AppendSigned(text, board->boardIndex);
    AppendChar(text, '"');
}

static void AppendFamily(Text *text, const Figure &figure, const BoardView *boards, int count,
                         const ViewSettings *settings) {
    const Metric *metric = figure.metric;
    AppendText(text, "# HELP ");
    AppendText(text, metric->name);
    AppendChar(text, ' ');
    AppendText(text, metric->help);
    AppendText(text, "\n# TYPE ");
    AppendText(text, metric->name);
    AppendText(text, metric->counter ? " counter\n" : " gauge\n");
    for (const BoardView *board = boards; board < boards + count; board++) {
        if (figure.unit == kUnitState) {
            for (int state = kBoardLive; state <= kBoardGone; state++) {
                AppendSeries(text, metric, board);
                AppendText(text, ",state=\"");
                AppendText(text, StateWord((BoardState)state));
                AppendText(text, board->state == state ? "\"} 1\n" : "\"} 0\n");
            }
            continue;
        }
        if (!FigureKnownFor(figure, board))
            continue;
        for (int lan = 0; lan < (figure.ofEachLan ? kLans : 1); lan++) {
            AppendSeries(text, metric, board);
            if (figure.ofEachLan) {
                AppendText(text, ",lan=\"");
                AppendChar(text, kLanNames[lan]);
                AppendChar(text, '"');
            }
            AppendText(text, "} ");
            AppendSigned(text, figure.value(board, lan, settings) * PlainNumberScale(figure));
            AppendChar(text, '\n');
        }
    }
}

void AppendMetrics(Text *text, const BoardView *boards, int count, const ViewSettings *settings) {
    for (int i = 0; i < kFigureCount; i++)
        if (kFigures[i].metric != nullptr)
            AppendFamily(text, kFigures[i], boards, count, settings);
}
