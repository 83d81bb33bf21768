#include "figures.h"

// A figure read straight from a LAN's or the board's model.
#define OF_LAN(expression)                                                                    \
    [](const BoardView *board, int lan, const ViewSettings *) -> int64_t {                    \
        const LanView &l = board->lan[lan];                                                   \
        return (int64_t)(expression);                                                         \
    }
#define OF_BOARD(expression)                                                                  \
    [](const BoardView *board, int, const ViewSettings *settings) -> int64_t {                \
        (void)settings;                                                                       \
        return (int64_t)(expression);                                                         \
    }

// What is trouble, figure by figure.
static bool LinkDown(const BoardView *board, int lan, const ViewSettings *) {
    return board->sampled && board->state != kBoardGone && board->lan[lan].linkStatus == 0;
}
static bool RxBeyond(const BoardView *board, int, const ViewSettings *settings) {
    return board->stepped && BeyondMark(board->rxDivergence, settings);
}
static bool TxBeyond(const BoardView *board, int, const ViewSettings *settings) {
    return board->stepped && BeyondMark(board->txDivergence, settings);
}
static bool ErrorsNow(const BoardView *board, int lan, const ViewSettings *) {
    return board->stepped && board->lan[lan].errStep != 0;
}

// The metrics, named as dashboards and alerts know them.  The totals are
// 64 bits wide: the sums of each second's differences, which never wrap.
static constexpr Metric kReceived = {"prp_hsr_receive_good_bytes_total",
                                     "Good octets received since WatchBoards started.", true};
static constexpr Metric kTransmitted = {"prp_hsr_transmit_bytes_total",
                                        "Octets transmitted since WatchBoards started.", true};
static constexpr Metric kErrors = {"prp_hsr_receive_errors_total",
                                   "Receive errors since WatchBoards started.", true};
static constexpr Metric kLinkStatus = {"prp_hsr_link_status",
                                       "The link status as published (1 up, 0 down).", false};
static constexpr Metric kResets = {
    "prp_hsr_resets_total", "Counters seen going back, and blocks that vanished and came back.",
    true};
static constexpr Metric kState = {"prp_hsr_board_state",
                                  "1 for the board's state now, 0 for the others.", false};

// In the order of the lines' columns; each LAN's figure A before B.
constexpr Figure kFigures[] = {
    // name, of each LAN, unit, known, value, screen row, label, metric
    {"board", false, kUnitCount, kKnownAlways, OF_BOARD(board->boardIndex), 0, nullptr},
    {"state", false, kUnitState, kKnownAlways, OF_BOARD(board->state), 0, nullptr, &kState},
    {"linkStatus", true, kUnitLink, kKnownWithRecord, OF_LAN(l.linkStatus), 1, "link",
     &kLinkStatus, LinkDown},
    {"rxGoodOctets", true, kUnitCount, kKnownWithRecord, OF_LAN(l.rxGoodOctets), 0, nullptr},
    {"txOctets", true, kUnitCount, kKnownWithRecord, OF_LAN(l.txOctets), 0, nullptr},
    {"rxErr", true, kUnitCount, kKnownWithRecord, OF_LAN(l.rxErr), 0, nullptr},
    {"intervalMs", false, kUnitCount, kKnownWithStep, OF_BOARD(board->elapsedMs), 0, nullptr},
    {"rxGoodOctetsDelta", true, kUnitCount, kKnownWithStep, OF_LAN(l.rxStep), 0, nullptr},
    {"txOctetsDelta", true, kUnitCount, kKnownWithStep, OF_LAN(l.txStep), 0, nullptr},
    {"rxErrDelta", true, kUnitCount, kKnownWithStep, OF_LAN(l.errStep), 0, nullptr},
    {"rxDivergence", false, kUnitPercent, kKnownWithStep, OF_BOARD(board->rxDivergence), 2,
     nullptr, nullptr, RxBeyond},
    {"txDivergence", false, kUnitPercent, kKnownWithStep, OF_BOARD(board->txDivergence), 3,
     nullptr, nullptr, TxBeyond},
    {"divergent", false, kUnitFlag, kKnownWithStep,
     OF_BOARD(BeyondMark(board->rxDivergence, settings) ||
              BeyondMark(board->txDivergence, settings)),
     0, nullptr},
    {"rxErrSinceStart", true, kUnitCount, kKnownOnceSampled, OF_LAN(l.errTotal), 5, "errors",
     &kErrors},
    {"resets", false, kUnitCount, kKnownAlways, OF_BOARD(board->resets), 0, nullptr, &kResets},
    {"rxRate", true, kUnitRate, kKnownWithStep, OF_LAN(RateOf(board, l.rxStep)), 2, "rx"},
    {"txRate", true, kUnitRate, kKnownWithStep, OF_LAN(RateOf(board, l.txStep)), 3, "tx"},
    {nullptr, true, kUnitCount, kKnownWithStep, OF_LAN(RateOf(board, l.errStep)), 4, "err/s", nullptr,
     ErrorsNow},
    {nullptr, true, kUnitCount, kKnownOnceSampled, OF_LAN(l.rxTotal), 0, nullptr, &kReceived},
    {nullptr, true, kUnitCount, kKnownOnceSampled, OF_LAN(l.txTotal), 0, nullptr, &kTransmitted},
};

const int kFigureCount = sizeof kFigures / sizeof kFigures[0];
static_assert(sizeof kFigures / sizeof kFigures[0] <= kMostFigures, "room for every figure");

static constexpr int LastRow() {
    int last = 0;
    for (const Figure &figure : kFigures)
        last = figure.row > last ? figure.row : last;
    return last;
}
const int kFigureRows = LastRow();

bool BeyondMark(int64_t tenths, const ViewSettings *settings) {
    return (tenths < 0 ? -tenths : tenths) > (int64_t)settings->markTenths;
}

static const char *const kLanNames[kLans] = {"LanA", "LanB"};

int BoardTroubles(const BoardView *board, const ViewSettings *settings, uint64_t nowMs,
                  Trouble troubles[kMostTroubles]) {
    int count = 0;
    auto add = [&](bool alarm) -> Text {
        Trouble *trouble = &troubles[count++];
        trouble->alarm = alarm;
        return TEXT_IN(trouble->text);
    };
    if (board->state == kBoardGone || board->state == kBoardShort) {
        Text text = add(false);
        AppendText(&text, StateWord(board->state));
    }
    for (int lan = 0; lan < kLans; lan++) {
        if (LinkDown(board, lan, settings)) {
            Text text = add(true);
            AppendText(&text, kLanNames[lan]);
            AppendText(&text, " down");
        }
    }
    if (board->state == kBoardStale) {
        Text text = add(false);
        AppendText(&text, "stale ");
        AppendDuration(&text, (nowMs - board->changedMs) / 1000);
    }
    if (RxBeyond(board, 0, settings)) {
        Text text = add(true);
        AppendText(&text, "rx ");
        AppendPercentTenths(&text, board->rxDivergence);
    }
    if (TxBeyond(board, 0, settings)) {
        Text text = add(true);
        AppendText(&text, "tx ");
        AppendPercentTenths(&text, board->txDivergence);
    }
    for (int lan = 0; lan < kLans; lan++) {
        if (ErrorsNow(board, lan, settings)) {
            Text text = add(true);
            AppendText(&text, kLanNames[lan]);
            AppendChar(&text, ' ');
            AppendUnsigned(&text, RateOf(board, board->lan[lan].errStep));
            AppendText(&text, " err/s");
        }
    }
    return count;
}

bool InTrouble(const BoardView *board, const ViewSettings *settings) {
    Trouble troubles[kMostTroubles];
    return BoardTroubles(board, settings, board->changedMs, troubles) != 0; // texts unread
}

void AppendScreenRate(Text *text, uint64_t octetsPerSecond, const ViewSettings *settings) {
    AppendSi(text, settings->bytes ? octetsPerSecond : octetsPerSecond * 8);
}

static const char *const kStateWords[] = {"live", "stale", "short", "gone"};
static const size_t kStateLengths[] = {4, 5, 5, 4};

const char *StateWord(BoardState state) { return kStateWords[state]; }

static void AppendLink(Text *text, const LanView *lan, uint64_t nowMs) {
    if (lan->linkStatus <= 1)
        AppendText(text, lan->linkStatus == 1 ? "up" : "down");
    else
        AppendUnsigned(text, lan->linkStatus);
    // Before a change is seen, the link has been so at least since the start.
    AppendText(text, lan->linkChangeSeen ? " " : " >");
    AppendDuration(text, (nowMs - lan->linkChangedMs) / 1000);
}

// Tenths with one decimal, as scripts read them: "-12.3", "0.0".
static void AppendTenths(Text *text, int64_t tenths) {
    uint64_t magnitude = tenths < 0 ? 0 - (uint64_t)tenths : (uint64_t)tenths;
    if (tenths < 0)
        AppendChar(text, '-');
    AppendUnsigned(text, magnitude / 10);
    const char rest[] = {'.', (char)('0' + magnitude % 10)};
    AppendChars(text, rest, sizeof rest);
}

static void AppendWord(Text *text, const char *word, size_t length, FigureOutput output) {
    if (output == kInJson)
        AppendChar(text, '"');
    AppendChars(text, word, length);
    if (output == kInJson)
        AppendChar(text, '"');
}

void AppendFigure(Text *text, const Figure &figure, const BoardView *board, int lan,
                  const FigureContext *context, FigureOutput output) {
    if (!FigureKnownFor(figure, board)) {
        if (output == kOnScreen)
            AppendChar(text, '-');
        else if (output == kInJson)
            AppendChars(text, "null", 4);
        return;
    }
    int64_t value = figure.value != nullptr ? figure.value(board, lan, context->settings) : 0;
    if (output != kOnScreen && PlainNumberScale(figure) != 0) {
        AppendSigned(text, value * PlainNumberScale(figure));
        return;
    }
    bool onScreen = output == kOnScreen;
    switch (figure.unit) {
    case kUnitCount:
        AppendSigned(text, value);
        break;
    case kUnitState:
        AppendWord(text, kStateWords[value], kStateLengths[value], output);
        break;
    case kUnitLink:
        AppendLink(text, &board->lan[lan], context->nowMs);
        break;
    case kUnitRate:
        AppendScreenRate(text, (uint64_t)value, context->settings);
        break;
    case kUnitPercent:
        if (onScreen)
            AppendPercentTenths(text, (int32_t)value);
        else
            AppendTenths(text, value);
        break;
    case kUnitFlag:
        if (output == kInJson)
            AppendText(text, value != 0 ? "true" : "false");
        else
            AppendChar(text, value != 0 ? '1' : '0');
        break;
    }
}
