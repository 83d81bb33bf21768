#include "answer.h"

#include "figures.h"

// The state a trouble of the boards' verdict puts a check in.
static PluginState StateOf(Severity severity) {
    return severity == kCritical  ? kPluginCritical
           : severity == kWarning ? kPluginWarning
                                  : kPluginOk;
}

// The performance data, a row each, in the order they are written; those
// with thresholds are judged by them, and said in the status line as the
// verdict says their trouble.
enum Limit { kNoLimit, kDivergenceLimit, kErrorsLimit };
struct Datum {
    const char *name; // after "boardN_"; a LAN's datum has A or B after it
    FigureId figure;
    const char *unit;
    int decimals; // the value is in units of a tenth to that power
    Limit limit;
    TroubleKind trouble; // as the verdict says it, where its thresholds alert
    bool maxIsSpeed;     // its max the LAN's speed in bytes a second, else 100 where it has one
};

// The link losses are those during the look: a count of it alone, not a
// counter that grows from one check to the next.  The divergence is its
// size; the status line says its sign.
static const Datum kData[] = {
    // name, figure, unit, decimals, limit, trouble, max is the speed
    {"rx", kFigureRxRate, "", 0, kNoLimit, kTroubleKinds, true},
    {"tx", kFigureTxRate, "", 0, kNoLimit, kTroubleKinds, true},
    {"rx_divergence", kFigureRxDivergence, "%", 1, kDivergenceLimit, kTroubleRxApart, false},
    {"tx_divergence", kFigureTxDivergence, "%", 1, kDivergenceLimit, kTroubleTxApart, false},
    {"errors", kFigureErrorsPerSecond, "", 0, kErrorsLimit, kTroubleErrors, false},
    {"link_losses", kFigureLinkLosses, "", 0, kNoLimit, kTroubleKinds, false},
};

static const Thresholds *LimitOf(const Datum &datum, const CheckOptions *options) {
    return datum.limit == kDivergenceLimit ? &options->divergence
           : datum.limit == kErrorsLimit   ? &options->errors
                                           : nullptr;
}

static bool DatumValue(const Datum &datum, const Board *board, int lan, int64_t *value) {
    FigureContext context = {nullptr, 0};
    if (!FigureValue(datum.figure, board, lan, &context, value))
        return false;
    if (*value < 0)
        *value = -*value;
    return true;
}

static PluginState DatumState(const Datum &datum, const Board *board, int lan,
                              const CheckOptions *options) {
    const Thresholds *limit = LimitOf(datum, options);
    int64_t value;
    if (limit == nullptr || !DatumValue(datum, board, lan, &value))
        return kPluginOk;
    // As the datum is written, and read by a parser: one division, so that
    // the value is the double nearest to the decimal one (20.1, not 20.099…).
    double scale = 1;
    for (int i = 0; i < datum.decimals; i++)
        scale *= 10;
    return Alerts(&limit->critical, (double)value / scale)  ? kPluginCritical
           : Alerts(&limit->warning, (double)value / scale) ? kPluginWarning
                                                            : kPluginOk;
}

// Whether the verdict's trouble is judged by the plugin's thresholds
// instead: LanA against LanB, and errors.
static bool JudgedByThresholds(TroubleKind kind) {
    for (const Datum &datum : kData)
        if (datum.trouble == kind)
            return true;
    return false;
}

static const char *const kStateWords[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

// What begins each trouble in the status line: its board.
static void StartTrouble(Text *text, const Board *board, int *said) {
    AppendText(text, (*said)++ == 0 ? " - " : ", ");
    AppendBoard(text, board->boardIndex, board->name, false);
    AppendChar(text, ' ');
}

// Appends, after the troubles said so far, those of a board that put the
// check in that state: its verdict's, those its data's thresholds find,
// and rates one look could not take.  Returns how many are said now.
static int AppendTroubles(Text *text, PluginState state, const Board *board,
                          const CheckOptions *options, uint64_t nowMs, int said) {
    const Verdict &verdict = board->verdict;
    for (int i = 0; i < verdict.count; i++) {
        const Trouble &trouble = verdict.troubles[i];
        if (JudgedByThresholds(trouble.kind) || StateOf(trouble.severity) != state)
            continue;
        StartTrouble(text, board, &said);
        AppendTroubleWords(text, board, trouble, nowMs);
    }
    for (const Datum &datum : kData) {
        int lans = kFigures[datum.figure].ofEachLan ? kLans : 1;
        for (int lan = 0; lan < lans && datum.limit != kNoLimit; lan++) {
            if (DatumState(datum, board, lan, options) != state)
                continue;
            StartTrouble(text, board, &said);
            AppendTroubleWords(text, board, Trouble{datum.trouble, (int8_t)lan, kWarning}, nowMs);
        }
    }
    // A live board whose rates one look could not take (resets, or counters
    // too fast for their 32 bits): nothing can be told of its figures.
    if (state == kPluginUnknown && board->state == kBoardLive && !board->ratesKnown) {
        StartTrouble(text, board, &said);
        AppendText(text, "rates unknown");
    }
    return said;
}

static void AppendRange(Text *text, const Range *range) {
    if (range != nullptr && range->text != nullptr)
        AppendText(text, range->text);
}

static void AppendData(Text *text, const Board *board, const CheckOptions *options) {
    for (const Datum &datum : kData) {
        for (int lan = 0; lan < (kFigures[datum.figure].ofEachLan ? kLans : 1); lan++) {
            int64_t value;
            if (!DatumValue(datum, board, lan, &value))
                continue; // a value not known is left out, never 0
            AppendText(text, " 'board");
            AppendSigned(text, board->boardIndex);
            AppendChar(text, '_');
            AppendText(text, datum.name);
            AppendText(text, kFigures[datum.figure].ofEachLan ? lan == kLanA ? "A" : "B" : "");
            AppendText(text, "'=");
            AppendDecimal(text, value, datum.decimals);
            AppendText(text, datum.unit);
            const Thresholds *limit = LimitOf(datum, options);
            AppendChar(text, ';');
            AppendRange(text, limit != nullptr ? &limit->warning : nullptr);
            AppendChar(text, ';');
            AppendRange(text, limit != nullptr ? &limit->critical : nullptr);
            AppendText(text, ";0");
            if (datum.maxIsSpeed) {
                AppendChar(text, ';');
                AppendUnsigned(text, board->bitsPerSecond / 8);
            } else if (datum.decimals != 0) {
                AppendText(text, ";100");
            }
        }
    }
}

PluginState AppendAnswer(Text *text, const Watch *watch, const CheckOptions *options) {
    // Room kept from one answer to the next.
    static Text troubles = GrowingText(), data = GrowingText();
    EmptyText(&troubles);
    EmptyText(&data);
    // The states from the worst: in each, every board's troubles in order.
    static const PluginState kWorstFirst[] = {kPluginCritical, kPluginWarning, kPluginUnknown};
    PluginState state = kPluginOk;
    int said = 0;
    for (PluginState worst : kWorstFirst) {
        for (int i = 0; i < watch->count; i++)
            said = AppendTroubles(&troubles, worst, BoardInOrder(watch, i), options, watch->roundMs,
                                  said);
        if (said != 0 && state == kPluginOk)
            state = worst;
    }
    for (int i = 0; i < watch->count; i++)
        AppendData(&data, BoardInOrder(watch, i), options);

    AppendText(text, STATUS_LINE_START);
    AppendText(text, kStateWords[state]);
    if (said != 0) {
        AppendChars(text, troubles.chars, troubles.length);
    } else {
        AppendText(text, " - ");
        AppendUnsigned(text, (uint64_t)watch->count);
        AppendText(text, watch->count == 1 ? " board" : " boards");
    }
    if (data.length != 0) {
        AppendText(text, " |");
        AppendChars(text, data.chars, data.length);
    }
    AppendChar(text, '\n');
    return state;
}

PluginState AppendUnknown(Text *text, const char *why) {
    AppendText(text, STATUS_LINE_START "UNKNOWN - ");
    AppendText(text, why);
    AppendChar(text, '\n');
    return kPluginUnknown;
}
