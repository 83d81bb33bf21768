#include "metrics.h"

static const char *const kLanLabels[kLans] = {"A", "B"};

// A series' name (of that length) and labels, up to its value:
// name{board="7",lan="A"} .
static void AppendSeries(Text *text, const char *name, size_t length, const Board *board) {
    AppendChars(text, name, length);
    AppendText(text, "{board=\"");
    AppendSigned(text, board->boardIndex);
}

static void AppendHelpAndType(Text *text, const Metric *metric) {
    AppendText(text, "# HELP ");
    AppendText(text, metric->name);
    AppendChar(text, ' ');
    AppendText(text, metric->help);
    AppendText(text, "\n# TYPE ");
    AppendText(text, metric->name);
    AppendText(text, metric->counter ? " counter\n" : " gauge\n");
}

// The file's own: which WatchBoards writes it, and how many boards have a
// block now, so that no board at all is told from boards unwatched.
static constexpr Metric kBuildInfo = {"prp_hsr_exporter_build_info",
                                      "The version of WatchBoards that writes this file.", false};
static constexpr Metric kBoards = {"prp_hsr_boards", "The boards that have a block now.", false};
static constexpr Metric kBoardInfo = {"prp_hsr_board_info",
                                      "Always 1: the board's name (--names), empty for none.",
                                      false};

void AppendMetrics(Text *text, const Board *const *boards, int count,
                   const FigureContext *context) {
    AppendHelpAndType(text, &kBuildInfo);
    AppendText(text, kBuildInfo.name);
    AppendText(text, "{version=\"" WATCHBOARDS_VERSION "\"} 1\n");
    int published = 0;
    for (int i = 0; i < count; i++)
        published += boards[i]->state != kBoardGone;
    AppendHelpAndType(text, &kBoards);
    AppendText(text, kBoards.name);
    AppendChar(text, ' ');
    AppendSigned(text, published);
    AppendChar(text, '\n');
    // Every board's, so that a join on it drops none: an unnamed board's
    // name empty.
    AppendHelpAndType(text, &kBoardInfo);
    for (int i = 0; i < count; i++) {
        AppendText(text, kBoardInfo.name);
        AppendText(text, "{board=\"");
        AppendSigned(text, boards[i]->boardIndex);
        AppendText(text, "\",name=\"");
        AppendEscaped(text, boards[i]->name);
        AppendText(text, "\"} 1\n");
    }
    for (int id = 0; id < kFigureCount; id++) {
        const Figure &figure = kFigures[id];
        const Metric *metric = figure.metric;
        if (metric == nullptr)
            continue;
        AppendHelpAndType(text, metric);
        size_t length = __builtin_strlen(metric->name);
        for (int i = 0; i < count; i++) {
            const Board *board = boards[i];
            // A state is a gauge for each state word, 1 for the board's.
            if (figure.unit == kUnitState) {
                int64_t state = kBoardGone;
                figure.value(board, 0, context, &state);
                for (int word = 0; word < kBoardStates; word++) {
                    AppendSeries(text, metric->name, length, board);
                    AppendText(text, "\",state=\"");
                    AppendText(text, StateWord((BoardState)word));
                    AppendText(text, state == word ? "\"} 1\n" : "\"} 0\n");
                }
                continue;
            }
            for (int lan = 0; lan < (figure.ofEachLan ? kLans : 1); lan++) {
                if (int64_t value; !figure.value(board, lan, context, &value))
                    continue;
                AppendSeries(text, metric->name, length, board);
                if (figure.ofEachLan) {
                    AppendText(text, "\",lan=\"");
                    AppendText(text, kLanLabels[lan]);
                }
                AppendText(text, "\"} ");
                AppendFigure(text, (FigureId)id, board, lan, context, kInMetric);
                AppendChar(text, '\n');
            }
        }
    }
}
