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
enum Limit { kNoLimit, kDivergenceLimit, kErrorsLimit, kLossesLimit };
struct Datum {
    const char *name; // after "boardN_"; a LAN's datum has A or B after it
    FigureId figure;  // the look's value
    const char *unit;
    int decimals; // the value is in units of a tenth to that power
    Limit limit;
    TroubleKind trouble; // as the verdict says it, where its thresholds alert
    bool maxIsSpeed;     // its max the LAN's speed in bytes a second, else 100 where it has one
    // Its value since the last check, where that is known.
    bool (*since)(const Between &between, int lan, int64_t *value);
};

// Each datum is what happened since the last check where that is known,
// otherwise what the look saw: the link losses a count of either alone,
// not a counter that grows from one check to the next.  The divergence is
// its size; the status line says its sign.
#define SINCE(known, expression)                                                                   \
    [](const Between &between, int lan, int64_t *value) -> bool {                                  \
        (void)lan;                                                                                 \
        if (!(known))                                                                              \
            return false;                                                                          \
        *value = (int64_t)(expression);                                                            \
        return true;                                                                               \
    }
static const Datum kData[] = {
    // name, figure, unit, decimals, limit, trouble, max is the speed, since the last check
    {"rx", kFigureRxRate, "", 0, kNoLimit, kTroubleKinds, true,
     SINCE(between.ratesKnown, between.perSecond[lan][kRxOctets])},
    {"tx", kFigureTxRate, "", 0, kNoLimit, kTroubleKinds, true,
     SINCE(between.ratesKnown, between.perSecond[lan][kTxOctets])},
    {"rx_divergence", kFigureRxDivergence, "%", 1, kDivergenceLimit, kTroubleRxApart, false,
     SINCE(between.compared[kRxOctets], DivergenceTenths(between.perSecond[kLanA][kRxOctets],
                                                         between.perSecond[kLanB][kRxOctets]))},
    {"tx_divergence", kFigureTxDivergence, "%", 1, kDivergenceLimit, kTroubleTxApart, false,
     SINCE(between.compared[kTxOctets], DivergenceTenths(between.perSecond[kLanA][kTxOctets],
                                                         between.perSecond[kLanB][kTxOctets]))},
    {"errors", kFigureErrorsPerSecond, "", 0, kErrorsLimit, kTroubleErrors, false,
     SINCE(between.errorsKnown, between.errorsPerSecond[lan])},
    {"link_losses", kFigureLinkLosses, "", 0, kLossesLimit, kTroubleKinds, false,
     SINCE(between.lossesKnown, between.losses[lan])},
};
#undef SINCE

// The thresholds that judge a datum.  The links lost during the look are
// the verdict's to judge (a link down), as every output judges them: only
// those since the last check have thresholds of their own.
static const Thresholds *LimitOf(const Datum &datum, bool sinceLast, const CheckOptions *options) {
    return datum.limit == kDivergenceLimit            ? &options->divergence
           : datum.limit == kErrorsLimit              ? &options->errors
           : datum.limit == kLossesLimit && sinceLast ? &options->losses
                                                      : nullptr;
}

// The datum's value, signed (a divergence), and whether it is that since
// the last check.  A board gone or unreadable has none.
static bool SignedValue(const Datum &datum, const CheckedBoard &checked, int lan, int64_t *value,
                        bool *sinceLast) {
    const Board *board = checked.board;
    *sinceLast = HasRecord(board->state) && datum.since(checked.between, lan, value);
    FigureContext context = {nullptr, 0};
    return *sinceLast || FigureValue(datum.figure, board, lan, &context, value);
}

static bool DatumValue(const Datum &datum, const CheckedBoard &checked, int lan, int64_t *value,
                       bool *sinceLast) {
    if (!SignedValue(datum, checked, lan, value, sinceLast))
        return false;
    if (*value < 0)
        *value = -*value;
    return true;
}

static PluginState DatumState(const Datum &datum, const CheckedBoard &checked, int lan,
                              const CheckOptions *options) {
    int64_t value;
    bool sinceLast;
    if (!DatumValue(datum, checked, lan, &value, &sinceLast))
        return kPluginOk;
    const Thresholds *limit = LimitOf(datum, sinceLast, options);
    if (limit == nullptr)
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

static const char kSinceLast[] = " since the last check";

// The words of a datum beyond its thresholds: as the verdict says its
// trouble, or what happened since the last check.
static void AppendDatumWords(Text *text, const Datum &datum, const CheckedBoard &checked, int lan,
                             uint64_t nowMs) {
    const Board *board = checked.board;
    const Between &between = checked.between;
    int64_t value;
    bool sinceLast;
    SignedValue(datum, checked, lan, &value, &sinceLast);
    if (datum.limit == kLossesLimit) {
        AppendText(text, kLanNames[lan]);
        AppendText(text, " lost ");
        if (value == 1) {
            AppendText(text, "once");
        } else {
            AppendUnsigned(text, (uint64_t)value);
            AppendText(text, " times");
        }
        AppendText(text, kSinceLast);
        AppendText(text, ", ");
        AppendDuration(text, between.downSeconds[lan]);
        AppendText(text, " down");
        return;
    }
    if (!sinceLast) {
        AppendTroubleWords(text, board, Trouble{datum.trouble, (int8_t)lan, kWarning}, nowMs);
        return;
    }
    if (datum.limit == kErrorsLimit) {
        AppendText(text, kLanNames[lan]);
        AppendChar(text, ' ');
        AppendUnsigned(text, between.errors[lan]);
        AppendText(text, between.errors[lan] == 1 ? " error" : " errors");
        AppendText(text, kSinceLast);
        AppendText(text, ", ");
        AppendCount(text, between.errorsPerSecond[lan], 5);
        AppendText(text, " err/s");
        return;
    }
    AppendText(text, datum.trouble == kTroubleRxApart ? "rx " : "tx ");
    AppendText(text, value > 0 ? "+" : "");
    AppendDecimal(text, value, 1);
    AppendChar(text, '%');
    AppendText(text, kSinceLast);
}

// Appends, after the troubles said so far, those of a board that put the
// check in that state: its verdict's, those its data's thresholds find,
// and rates neither one look nor the last check could take.  Returns how
// many are said now.
static int AppendTroubles(Text *text, PluginState state, const CheckedBoard &checked,
                          const CheckOptions *options, uint64_t nowMs, uint64_t wallMs, int said) {
    const Board *board = checked.board;
    const Verdict &verdict = board->verdict;
    for (int i = 0; i < verdict.count; i++) {
        const Trouble &trouble = verdict.troubles[i];
        if (JudgedByThresholds(trouble.kind) || StateOf(trouble.severity) != state)
            continue;
        StartTrouble(text, board, &said);
        AppendTroubleWords(text, board, trouble, nowMs);
        // Gone since an earlier check: for how long.
        if (trouble.kind == kTroubleGone && checked.awaySinceMs + 1000 <= wallMs) {
            AppendText(text, " for ");
            AppendDuration(text, (wallMs - checked.awaySinceMs) / 1000);
        }
    }
    for (const Datum &datum : kData) {
        int lans = kFigures[datum.figure].ofEachLan ? kLans : 1;
        for (int lan = 0; lan < lans && datum.limit != kNoLimit; lan++) {
            if (DatumState(datum, checked, lan, options) != state)
                continue;
            StartTrouble(text, board, &said);
            AppendDatumWords(text, datum, checked, lan, nowMs);
        }
    }
    // A live board whose rates one look could not take (resets, or counters
    // too fast for their 32 bits), nor the last check: nothing can be told
    // of its figures.
    if (state == kPluginUnknown && board->state == kBoardLive && !board->ratesKnown &&
        !checked.between.ratesKnown) {
        StartTrouble(text, board, &said);
        AppendText(text, "rates unknown");
    }
    return said;
}

static void AppendRange(Text *text, const Range *range) {
    if (range != nullptr && range->text != nullptr)
        AppendText(text, range->text);
}

static void AppendData(Text *text, const CheckedBoard &checked, const CheckOptions *options) {
    const Board *board = checked.board;
    for (const Datum &datum : kData) {
        for (int lan = 0; lan < (kFigures[datum.figure].ofEachLan ? kLans : 1); lan++) {
            int64_t value;
            bool sinceLast;
            if (!DatumValue(datum, checked, lan, &value, &sinceLast))
                continue; // a value not known is left out, never 0
            AppendText(text, " 'board");
            AppendSigned(text, board->boardIndex);
            AppendChar(text, '_');
            AppendText(text, datum.name);
            AppendText(text, kFigures[datum.figure].ofEachLan ? lan == kLanA ? "A" : "B" : "");
            AppendText(text, "'=");
            AppendDecimal(text, value, datum.decimals);
            AppendText(text, datum.unit);
            const Thresholds *limit = LimitOf(datum, sinceLast, options);
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

PluginState AppendCheckAnswer(Text *text, const Check *check, const CheckOptions *options,
                              bool stateNotKept) {
    // Room kept from one answer to the next.
    static Text troubles = GrowingText(), data = GrowingText();
    EmptyText(&troubles);
    EmptyText(&data);
    // The states from the worst: in each, every board's troubles in order.
    static const PluginState kWorstFirst[] = {kPluginCritical, kPluginWarning, kPluginUnknown};
    PluginState state = kPluginOk;
    int said = 0;
    for (PluginState worst : kWorstFirst) {
        for (int i = 0; i < check->count; i++)
            said = AppendTroubles(&troubles, worst, check->boards[i], options, check->roundMs,
                                  check->nowMs, said);
        // A check that keeps nothing for the next cannot tell what happens
        // between: unknown, unless worse is found.
        if (worst == kPluginUnknown && stateNotKept)
            AppendText(&troubles, said++ == 0 ? " - state not kept" : ", state not kept");
        if (said != 0 && state == kPluginOk)
            state = worst;
    }
    for (int i = 0; i < check->count; i++)
        AppendData(&data, check->boards[i], options);

    AppendText(text, STATUS_LINE_START);
    AppendText(text, kStateWords[state]);
    if (said != 0) {
        AppendChars(text, troubles.chars, troubles.length);
    } else {
        AppendText(text, " - ");
        AppendUnsigned(text, (uint64_t)check->count);
        AppendText(text, check->count == 1 ? " board" : " boards");
    }
    if (data.length != 0) {
        AppendText(text, " |");
        AppendChars(text, data.chars, data.length);
    }
    AppendChar(text, '\n');
    if (check->notes.length != 0)
        AppendChars(text, check->notes.chars, check->notes.length);
    return state;
}

PluginState AppendAnswer(Text *text, const Watch *watch, const CheckOptions *options) {
    static Check check;
    EmptyText(&check.notes);
    Sources sources = {watch, nullptr, nullptr, 0, 0, 0};
    WorkOutCheck(&sources, options, &check);
    return AppendCheckAnswer(text, &check, options, false);
}

PluginState AppendUnknown(Text *text, const char *why) {
    AppendText(text, STATUS_LINE_START "UNKNOWN - ");
    AppendText(text, why);
    AppendChar(text, '\n');
    return kPluginUnknown;
}
