#include "answer.h"

#include "figures.h"

// What the plugin says of a board besides its figures, a row each, in the
// order the status line says them: its record, its links, its rates.
struct BoardCheck {
    bool ofEachLan;
    PluginState (*state)(const BoardView *board, int lan);
    void (*words)(Text *text, const BoardView *board, int lan);
};

static bool WithRecord(const BoardView *board) {
    return board->state == kBoardLive || board->state == kBoardStale;
}

static PluginState RecordState(const BoardView *board, int) {
    switch (board->state) {
    case kBoardGone:
    case kBoardUnreadable:
        return kCritical;
    case kBoardShort:
    case kBoardStale:
        return kWarning;
    default:
        return kOk;
    }
}
static void SayRecord(Text *text, const BoardView *board, int) {
    AppendText(text, StateWord(board->state));
}

static bool LinkUp(const BoardView *board, int lan) { return board->lan[lan].linkStatus != 0; }
static PluginState LinkState(const BoardView *board, int lan) {
    return WithRecord(board) && !LinkUp(board, lan) ? kCritical : kOk;
}
static void SayLinkDown(Text *text, const BoardView *, int lan) {
    AppendText(text, kLanNames[lan]);
    AppendText(text, " down");
}

// A live board whose rates one look could not take (resets, or counters
// too fast for their 32 bits): nothing can be told of its figures.
static PluginState RatesState(const BoardView *board, int) {
    return board->state == kBoardLive && !board->ratesKnown ? kUnknown : kOk;
}
static void SayNoRates(Text *text, const BoardView *, int) { AppendText(text, "rates unknown"); }

static const BoardCheck kBoardChecks[] = {
    {false, RecordState, SayRecord},
    {true, LinkState, SayLinkDown},
    {false, RatesState, SayNoRates},
};

// The performance data, a row each, in the order they are written; those
// with thresholds say what alerts in the status line.
enum Limit { kNoLimit, kDivergenceLimit, kErrorsLimit };
struct Datum {
    const char *name; // after "boardN_"; a LAN's datum has A or B after it
    bool ofEachLan;
    const char *unit;
    int decimals; // the value is in units of a tenth to that power
    int64_t (*value)(const BoardView *board, int lan);
    bool (*known)(const BoardView *board, int lan);
    Limit limit;
    void (*words)(Text *text, const BoardView *board, int lan); // null: never alerts
    int64_t (*most)(const BoardView *board);                    // the datum's max; null: none
};

static bool WithRates(const BoardView *board, int) { return board->ratesKnown; }
static bool Sampled(const BoardView *board, int) { return board->sampled; }

template <Counter counter> static int64_t PerSecond(const BoardView *board, int lan) {
    return (int64_t)board->lan[lan].perSecond[counter];
}
static int64_t LinkLosses(const BoardView *board, int lan) { return board->lan[lan].linkLosses; }
static int64_t LanSpeedBytes(const BoardView *board) { return (int64_t)(board->bitsPerSecond / 8); }
static int64_t Hundred(const BoardView *) { return 100; }

// LanA's rate against LanB's, in tenths of a percent of the larger, as
// WatchBoards shows it; it counts as the alerting rules count it, while
// both links are up and the busier LAN carries over 1000 bytes a second.
// Its size is the datum; the status line says its sign.
enum { kLeastComparedBytes = 1000 };
template <Counter counter> static int64_t DivergenceSize(const BoardView *board, int) {
    int32_t tenths = RateDivergence(board, counter);
    return tenths < 0 ? -tenths : tenths;
}
template <Counter counter> static bool Compared(const BoardView *board, int) {
    uint64_t a = board->lan[kLanA].perSecond[counter], b = board->lan[kLanB].perSecond[counter];
    return board->ratesKnown && LinkUp(board, kLanA) && LinkUp(board, kLanB) &&
           (a > b ? a : b) > kLeastComparedBytes;
}
template <Counter counter> static void SayDivergence(Text *text, const BoardView *board, int) {
    int32_t tenths = RateDivergence(board, counter);
    AppendText(text, counter == kRxOctets ? "rx" : "tx");
    AppendText(text, tenths > 0 ? " +" : " ");
    AppendDecimal(text, tenths, 1);
    AppendChar(text, '%');
}
static void SayErrors(Text *text, const BoardView *board, int lan) {
    AppendText(text, kLanNames[lan]);
    AppendChar(text, ' ');
    AppendUnsigned(text, board->lan[lan].perSecond[kRxErrors]);
    AppendText(text, " err/s");
}

// The link losses are those during the look: a count of it alone, not a
// counter that grows from one check to the next.
static const Datum kData[] = {
    // name, of each LAN, unit, decimals, value, known, limit, words, most
    {"rx", true, "", 0, PerSecond<kRxOctets>, WithRates, kNoLimit, nullptr, LanSpeedBytes},
    {"tx", true, "", 0, PerSecond<kTxOctets>, WithRates, kNoLimit, nullptr, LanSpeedBytes},
    {"rx_divergence", false, "%", 1, DivergenceSize<kRxOctets>, Compared<kRxOctets>,
     kDivergenceLimit, SayDivergence<kRxOctets>, Hundred},
    {"tx_divergence", false, "%", 1, DivergenceSize<kTxOctets>, Compared<kTxOctets>,
     kDivergenceLimit, SayDivergence<kTxOctets>, Hundred},
    {"errors", true, "", 0, PerSecond<kRxErrors>, WithRates, kErrorsLimit, SayErrors, nullptr},
    {"link_losses", true, "", 0, LinkLosses, Sampled, kNoLimit, nullptr, nullptr},
};

static const Thresholds *LimitOf(const Datum &datum, const CheckOptions *options) {
    return datum.limit == kDivergenceLimit ? &options->divergence
           : datum.limit == kErrorsLimit   ? &options->errors
                                           : nullptr;
}

static PluginState DatumState(const Datum &datum, const BoardView *board, int lan,
                              const CheckOptions *options) {
    const Thresholds *limit = LimitOf(datum, options);
    if (limit == nullptr || !datum.known(board, lan))
        return kOk;
    // As the datum is written, and read by a parser: one division, so that
    // the value is the double nearest to the decimal one (20.1, not 20.099…).
    double scale = 1;
    for (int i = 0; i < datum.decimals; i++)
        scale *= 10;
    double value = (double)datum.value(board, lan) / scale;
    return Alerts(&limit->critical, value)  ? kCritical
           : Alerts(&limit->warning, value) ? kWarning
                                            : kOk;
}

static const char *const kStateWords[] = {"OK", "WARNING", "CRITICAL", "UNKNOWN"};

// What begins each trouble in the status line: its board.
static void StartTrouble(Text *text, const BoardView *board, int *said) {
    AppendText(text, (*said)++ == 0 ? " - board " : ", board ");
    AppendSigned(text, board->boardIndex);
    AppendChar(text, ' ');
}

// Appends, after the troubles said so far, those of a board in that state:
// its checks', then its data's.  Returns how many are said now.
static int AppendTroubles(Text *text, PluginState state, const BoardView *board,
                          const CheckOptions *options, int said) {
    for (const BoardCheck &check : kBoardChecks) {
        for (int lan = 0; lan < (check.ofEachLan ? kLans : 1); lan++) {
            if (check.state(board, lan) == state) {
                StartTrouble(text, board, &said);
                check.words(text, board, lan);
            }
        }
    }
    for (const Datum &datum : kData) {
        for (int lan = 0; lan < (datum.ofEachLan ? kLans : 1); lan++) {
            if (datum.words != nullptr && DatumState(datum, board, lan, options) == state) {
                StartTrouble(text, board, &said);
                datum.words(text, board, lan);
            }
        }
    }
    return said;
}

static void AppendRange(Text *text, const Range *range) {
    if (range != nullptr && range->text != nullptr)
        AppendText(text, range->text);
}

static void AppendData(Text *text, const BoardView *board, const CheckOptions *options) {
    for (const Datum &datum : kData) {
        for (int lan = 0; lan < (datum.ofEachLan ? kLans : 1); lan++) {
            if (!datum.known(board, lan))
                continue; // a value not known is left out, never 0
            AppendText(text, " 'board");
            AppendSigned(text, board->boardIndex);
            AppendChar(text, '_');
            AppendText(text, datum.name);
            AppendText(text, datum.ofEachLan ? lan == kLanA ? "A" : "B" : "");
            AppendText(text, "'=");
            AppendDecimal(text, datum.value(board, lan), datum.decimals);
            AppendText(text, datum.unit);
            const Thresholds *limit = LimitOf(datum, options);
            AppendChar(text, ';');
            AppendRange(text, limit != nullptr ? &limit->warning : nullptr);
            AppendChar(text, ';');
            AppendRange(text, limit != nullptr ? &limit->critical : nullptr);
            AppendText(text, ";0");
            if (datum.most != nullptr) {
                AppendChar(text, ';');
                AppendSigned(text, datum.most(board));
            }
        }
    }
}

PluginState AppendAnswer(Text *text, const BoardView *boards, int count,
                         const CheckOptions *options) {
    // Room kept from one answer to the next.
    static Text troubles = GrowingText(), data = GrowingText();
    EmptyText(&troubles);
    EmptyText(&data);
    // The states from the worst: in each, every board's troubles in order.
    static const PluginState kWorstFirst[] = {kCritical, kWarning, kUnknown};
    PluginState state = kOk;
    int said = 0;
    for (PluginState worst : kWorstFirst) {
        for (int i = 0; i < count; i++)
            said = AppendTroubles(&troubles, worst, &boards[i], options, said);
        if (said != 0 && state == kOk)
            state = worst;
    }
    for (int i = 0; i < count; i++)
        AppendData(&data, &boards[i], options);

    AppendText(text, STATUS_LINE_START);
    AppendText(text, kStateWords[state]);
    if (said != 0) {
        AppendChars(text, troubles.chars, troubles.length);
    } else {
        AppendText(text, " - ");
        AppendUnsigned(text, (uint64_t)count);
        AppendText(text, count == 1 ? " board" : " boards");
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
    return kUnknown;
}
