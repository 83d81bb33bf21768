#include "figures.h"

// A figure read from a LAN's or the board's model.
#define OF_LAN(expression)                                                                    \
    [](const BoardView *board, int lan, const FigureContext *context) -> int64_t {            \
        const LanView &l = board->lan[lan];                                                   \
        (void)l, (void)context;                                                               \
        return (int64_t)(expression);                                                         \
    }
#define OF_BOARD(expression)                                                                  \
    [](const BoardView *board, int, const FigureContext *context) -> int64_t {                \
        (void)context;                                                                        \
        return (int64_t)(expression);                                                         \
    }

// When a figure is known.
static bool Always(const BoardView *, int) { return true; }
static bool OnceSampled(const BoardView *board, int) { return board->sampled; } // a total stays
static bool WithRecord(const BoardView *board, int) {
    return board->sampled && board->state != kBoardGone;
}
// What is counted: nothing of a board too fast for its counters.
static bool Counted(const BoardView *board, int) { return board->sampled && !board->tooFast; }
static bool WithStep(const BoardView *board, int) { return board->stepped && !board->tooFast; }
static bool WithRates(const BoardView *board, int) { return board->ratesKnown; }

// What is trouble, figure by figure, and what the heading says of it.
static void SayFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                      const FigureContext *context) {
    AppendFigure(text, figure, board, lan, context, kOnScreen);
}
static bool NoRecord(const BoardView *board, int, const FigureContext *) {
    return board->state != kBoardLive && board->state != kBoardStale;
}
static bool LinkDown(const BoardView *board, int lan, const FigureContext *) {
    return WithRecord(board, lan) && board->lan[lan].linkStatus == 0;
}
static void SayLanAndFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                            const FigureContext *context) {
    AppendText(text, kLanNames[lan]);
    AppendChar(text, ' ');
    SayFigure(text, figure, board, lan, context);
}
static bool Stale(const BoardView *board, int, const FigureContext *) {
    return board->state == kBoardStale;
}
static void SayStale(Text *text, const Figure &figure, const BoardView *board, int lan,
                     const FigureContext *context) {
    AppendText(text, "stale ");
    AppendDuration(text, (uint64_t)figure.value(board, lan, context));
}
static bool RxBeyond(const BoardView *board, int, const FigureContext *context) {
    return board->ratesKnown && BeyondMark(RateDivergence(board, kRxOctets), context->settings);
}
static bool TxBeyond(const BoardView *board, int, const FigureContext *context) {
    return board->ratesKnown && BeyondMark(RateDivergence(board, kTxOctets), context->settings);
}
static void SayRx(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context) {
    AppendText(text, "rx ");
    SayFigure(text, figure, board, lan, context);
}
static void SayTx(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context) {
    AppendText(text, "tx ");
    SayFigure(text, figure, board, lan, context);
}
static bool ErrorsNow(const BoardView *board, int lan, const FigureContext *) {
    return WithStep(board, lan) && board->lan[lan].roundStep[kRxErrors] != 0;
}
static void SayErrors(Text *text, const Figure &figure, const BoardView *board, int lan,
                      const FigureContext *context) {
    SayLanAndFigure(text, figure, board, lan, context);
    AppendText(text, " err/s");
}

// Heaviest first: no record to show, a link down, a record not current,
// LanA and LanB apart, errors.
static constexpr Trouble kNoTrouble = {nullptr, nullptr, 0, kStylePlain};
static constexpr Trouble kStateTrouble = {NoRecord, SayFigure, 90, kStyleWarning};
static constexpr Trouble kLinkDown = {LinkDown, SayLanAndFigure, 80, kStyleAlarm};
static constexpr Trouble kStale = {Stale, SayStale, 70, kStyleWarning};
static constexpr Trouble kRxApart = {RxBeyond, SayRx, 60, kStyleAlarm};
static constexpr Trouble kTxApart = {TxBeyond, SayTx, 59, kStyleAlarm};
static constexpr Trouble kErrors = {ErrorsNow, SayErrors, 50, kStyleAlarm};

static Since LinkSince(const BoardView *board, int lan) {
    // Before a change is seen, the link has been so at least since the start.
    return Since{board->lan[lan].linkChangedMs, !board->lan[lan].linkChangeSeen};
}

// The metrics, named as dashboards and alerts know them.  The totals are
// 64 bits wide: the sums of each second's differences, which never wrap.
static constexpr Metric kReceived = {"prp_hsr_receive_good_bytes_total",
                                     "Good octets received since WatchBoards started.", true};
static constexpr Metric kTransmitted = {"prp_hsr_transmit_bytes_total",
                                        "Octets transmitted since WatchBoards started.", true};
static constexpr Metric kErrorsTotal = {"prp_hsr_receive_errors_total",
                                        "Receive errors since WatchBoards started.", true};
static constexpr Metric kLinkStatus = {"prp_hsr_link_status",
                                       "The link status as published (1 up, 0 down).", false};
static constexpr Metric kResets = {
    "prp_hsr_resets_total", "Counters seen going back, and blocks that vanished and came back.",
    true};
static constexpr Metric kState = {"prp_hsr_board_state",
                                  "1 for the board's state now, 0 for the others.", false};
static constexpr Metric kLanSpeed = {"prp_hsr_lan_speed_bytes",
                                     "The LAN speed taken for the board, in bytes a second.", false};
static constexpr Metric kLinkLosses = {
    "prp_hsr_link_losses_total", "Publications that turned the link from up to down.", true};
static constexpr Metric kLinkDownSeconds = {"prp_hsr_link_down_seconds_total",
                                     "Seconds the link was published down.", true};

// In the order of the lines' columns; each LAN's figure A before B.
constexpr Figure kFigures[] = {
    // name, of each LAN, unit, value, known,
    //     screen row, label, since, trouble, graphed, metric
    {"board", false, kUnitCount, OF_BOARD(board->boardIndex), Always, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"state", false, kUnitState, OF_BOARD(board->state), Always, //
     0, nullptr, nullptr, kStateTrouble, false, &kState},
    {"linkStatus", true, kUnitLink, OF_LAN(l.linkStatus), WithRecord, //
     1, "link", LinkSince, kLinkDown, false, &kLinkStatus},
    {"rxGoodOctets", true, kUnitCount, OF_LAN(l.counter[kRxOctets]), WithRecord, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"txOctets", true, kUnitCount, OF_LAN(l.counter[kTxOctets]), WithRecord, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"rxErr", true, kUnitCount, OF_LAN(l.counter[kRxErrors]), WithRecord, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"intervalMs", false, kUnitCount, OF_BOARD(board->roundPeriods * kPublishingPeriodMs),
     WithStep, 0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"rxGoodOctetsDelta", true, kUnitCount, OF_LAN(l.roundStep[kRxOctets]), WithStep, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"txOctetsDelta", true, kUnitCount, OF_LAN(l.roundStep[kTxOctets]), WithStep, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"rxErrDelta", true, kUnitCount, OF_LAN(l.roundStep[kRxErrors]), WithStep, //
     0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"rxDivergence", false, kUnitPercent, OF_BOARD(RateDivergence(board, kRxOctets)), WithRates, //
     2, nullptr, nullptr, kRxApart, false, nullptr},
    {"txDivergence", false, kUnitPercent, OF_BOARD(RateDivergence(board, kTxOctets)), WithRates, //
     3, nullptr, nullptr, kTxApart, false, nullptr},
    {"divergent", false, kUnitFlag,
     OF_BOARD(BeyondMark(RateDivergence(board, kRxOctets), context->settings) ||
              BeyondMark(RateDivergence(board, kTxOctets), context->settings)),
     WithRates, 0, nullptr, nullptr, kNoTrouble, false, nullptr},
    {"rxErrSinceStart", true, kUnitCount, OF_LAN(l.total[kRxErrors]), Counted, //
     5, "errors", nullptr, kNoTrouble, false, &kErrorsTotal},
    {"resets", false, kUnitCount, OF_BOARD(board->resets), Always, //
     0, nullptr, nullptr, kNoTrouble, false, &kResets},
    {"rxRate", true, kUnitRate, OF_LAN(l.perSecond[kRxOctets]), WithRates, //
     2, "rx", nullptr, kNoTrouble, true, nullptr},
    {"txRate", true, kUnitRate, OF_LAN(l.perSecond[kTxOctets]), WithRates, //
     3, "tx", nullptr, kNoTrouble, false, nullptr},
    {"lanSpeed", false, kUnitRate, OF_BOARD(board->bitsPerSecond / 8), Always, //
     0, nullptr, nullptr, kNoTrouble, false, &kLanSpeed},
    {"linkLosses", true, kUnitCount, OF_LAN(l.linkLosses), OnceSampled, //
     6, "link lost", nullptr, kNoTrouble, false, &kLinkLosses},
    {"linkDownSeconds", true, kUnitSeconds,
     OF_LAN(l.linkDownPeriods * kPublishingPeriodMs / 1000), OnceSampled, //
     7, "down for", nullptr, kNoTrouble, false, &kLinkDownSeconds},
    {nullptr, true, kUnitCount, OF_LAN(l.perSecond[kRxErrors]), WithRates, //
     4, "err/s", nullptr, kErrors, false, nullptr},
    {nullptr, false, kUnitCount, OF_BOARD((context->nowMs - board->changedMs) / 1000), OnceSampled,
     0, nullptr, nullptr, kStale, false, nullptr},
    {nullptr, true, kUnitCount, OF_LAN(l.total[kRxOctets]), Counted, //
     0, nullptr, nullptr, kNoTrouble, false, &kReceived},
    {nullptr, true, kUnitCount, OF_LAN(l.total[kTxOctets]), Counted, //
     0, nullptr, nullptr, kNoTrouble, false, &kTransmitted},
};

const int kFigureCount = sizeof kFigures / sizeof kFigures[0];

// What the screen needs, from the rows.
static constexpr int Count(bool (*which)(const Figure &)) {
    int count = 0;
    for (const Figure &figure : kFigures)
        count += which(figure);
    return count;
}
static constexpr int LastRow() {
    int last = 0;
    for (const Figure &figure : kFigures)
        last = figure.row > last ? figure.row : last;
    return last;
}
const int kFigureRows = LastRow();
static constexpr int kGraphed = Count([](const Figure &figure) { return figure.graphed; });
static_assert(kGraphed == kGraphs, "a history kept for each graphed figure");
const int kGraphRows = kGraphed * kLans;

// The most characters each unit takes on the screen (see AppendFigure): a
// count as wide as a 32-bit one, beyond with an SI prefix; a state
// "unreadable"; a rate "999.9 k";
// a percentage "+100%"; a link "down", a number up to 255; a duration.  A time after
// it, " >" and a duration, takes 8 more.
static constexpr int ScreenWidth(const Figure &figure) {
    constexpr int kWidths[] = {10, 10, 4, 7, 5, 1, kLongestDuration};
    return kWidths[figure.unit] + (figure.since != nullptr ? 2 + kLongestDuration : 0);
}
static constexpr int LabelWidth(const Figure &figure) {
    int width = 0;
    for (const char *c = figure.label; c != nullptr && *c != '\0'; c++)
        width++;
    return width + (figure.unit == kUnitRate ? 6 : 0); // " bit/s"
}
static constexpr bool EveryFigureFits() {
    for (const Figure &figure : kFigures) {
        int width = ScreenWidth(figure);
        if (figure.row == 0)
            continue;
        if (width > kLongestScreenFigure)
            return false;
        if (figure.ofEachLan && (LabelWidth(figure) + 1 + width > kLanAEnd ||
                                 width > kLanBEnd - kLanAEnd))
            return false;
        if (!figure.ofEachLan && width > kBoardEnd - kLanBEnd - 1)
            return false;
    }
    return true;
}
static_assert(EveryFigureFits(), "every figure on the screen fits its column");

bool BeyondMark(int64_t tenths, const ViewSettings *settings) {
    return (tenths < 0 ? -tenths : tenths) > (int64_t)settings->markTenths;
}

static const char *const kStateWords[kBoardStates] = {"live", "stale", "short", "gone",
                                                     "unreadable"};

const char *StateWord(BoardState state) { return kStateWords[state]; }

void AppendScreenRate(Text *text, uint64_t octetsPerSecond, const ViewSettings *settings) {
    AppendSi(text, settings->bytes ? octetsPerSecond : octetsPerSecond * 8);
}

// A count as wide as a 32-bit one at most, on the screen: beyond, with an
// SI prefix.
void AppendScreenValue(Text *text, FigureUnit unit, int64_t value, const ViewSettings *settings) {
    switch (unit) {
    case kUnitCount:
        if (value > 9999999999)
            AppendSi(text, (uint64_t)value);
        else
            AppendSigned(text, value);
        break;
    case kUnitState:
        AppendText(text, StateWord((BoardState)value));
        break;
    case kUnitLink:
        if (value == 0 || value == 1)
            AppendText(text, value == 1 ? "up" : "down");
        else
            AppendSigned(text, value);
        break;
    case kUnitRate:
        AppendScreenRate(text, (uint64_t)value, settings);
        break;
    case kUnitPercent:
        AppendPercentTenths(text, (int32_t)value);
        break;
    case kUnitFlag:
        AppendChar(text, value != 0 ? '1' : '0');
        break;
    case kUnitSeconds:
        AppendDuration(text, (uint64_t)value);
        break;
    }
}

void AppendFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context, FigureOutput output) {
    if (!figure.known(board, lan)) {
        AppendText(text, output == kOnScreen ? "-" : output == kInJson ? "null" : "");
        return;
    }
    int64_t value = figure.value(board, lan, context);
    if (output == kOnScreen) {
        AppendScreenValue(text, figure.unit, value, context->settings);
        return;
    }
    bool json = output == kInJson, metric = output == kInMetric;
    switch (figure.unit) {
    case kUnitState:
        AppendText(text, json ? "\"" : "");
        AppendText(text, StateWord((BoardState)value));
        AppendText(text, json ? "\"" : "");
        break;
    case kUnitRate: // octets a second: bit/s in lines, bytes in a metric
        AppendDecimal(text, metric ? value : value * 8, 0);
        break;
    case kUnitPercent: // tenths: one decimal in lines, a ratio in a metric
        AppendDecimal(text, value, metric ? 3 : 1);
        break;
    case kUnitFlag:
        if (json)
            AppendText(text, value != 0 ? "true" : "false");
        else
            AppendDecimal(text, value != 0, 0);
        break;
    case kUnitCount:
    case kUnitLink:
    case kUnitSeconds:
        AppendDecimal(text, value, 0);
        break;
    }
}

int BoardTroubles(const BoardView *board, const FigureContext *context,
                  TroubleSeen troubles[kMostTroubles]) {
    int count = 0;
    for (const Figure &figure : kFigures) {
        if (figure.trouble.test == nullptr)
            continue;
        for (int lan = 0; lan < (figure.ofEachLan ? kLans : 1); lan++) {
            if (!figure.trouble.test(board, lan, context))
                continue;
            // In order of weight, the heaviest first; of the same weight, in
            // the table's order.
            int at = count++;
            for (; at > 0 && troubles[at - 1].figure->trouble.weight < figure.trouble.weight; at--)
                troubles[at] = troubles[at - 1];
            troubles[at] = TroubleSeen{&figure, lan};
        }
    }
    return count;
}

static constexpr int kMostTroublesSeen =
    Count([](const Figure &figure) { return figure.trouble.test != nullptr; }) * kLans;
static_assert(kMostTroublesSeen <= kMostTroubles, "room for every trouble at once");

CellStyle FigureStyle(const Figure &figure, const BoardView *board, int lan,
                      const FigureContext *context) {
    return figure.trouble.test != nullptr && figure.trouble.test(board, lan, context)
               ? figure.trouble.style
               : kStylePlain;
}

void KeepGraphs(BoardView *board, const FigureContext *context) {
    // The oldest second makes room for this one.
    int newest = board->historyStart;
    board->historyStart = newest + 1 < kHistorySeconds ? newest + 1 : 0;
    int graph = 0;
    for (const Figure &figure : kFigures) {
        if (!figure.graphed)
            continue;
        for (int lan = 0; lan < kLans; lan++) {
            int64_t value = figure.known(board, lan) ? figure.value(board, lan, context) : -1;
            board->history[graph][lan][newest] =
                value < 0 ? kNoValue : value < kNotSeen ? (uint32_t)value : kNotSeen - 1;
        }
        graph++;
    }
}
