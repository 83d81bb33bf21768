// A board's figures, one row each.  A row says what there is of its figure
// wherever it goes: its name in the lines and the JSON, its value and when
// it is known, its unit, for how long it has been so, the trouble it shows,
// and its metric.  Every output walks this one table and none works a
// figure out on its own: adding a figure is adding a row.
#ifndef BOARDS_FIGURES_H
#define BOARDS_FIGURES_H

#include "model.h"

// What a figure's value is.
enum FigureUnit : uint8_t {
    kUnitCount,   // a whole number
    kUnitState,   // a BoardState
    kUnitLink,    // a link status (0 down)
    kUnitRate,    // octets a second
    kUnitPercent, // tenths of a percent, LanA against LanB
    kUnitFlag,    // 0 or 1
    kUnitSeconds, // a duration
};

// What a board's figures are worked out with besides the board.
struct FigureContext {
    const BoardSettings *settings;
    uint64_t nowMs; // the round's, on the monotonic clock
};

// For how long a figure has been as it is: since when, and whether it was
// already so when first seen (then it has been so at least that long).
struct Since {
    uint64_t ms;
    bool atLeast;
};

// Which figures say so: none, or a link, since it last changed.
enum SinceKind : uint8_t { kSinceNotSaid, kSinceLinkChanged };

// A figure as a Prometheus metric: its name, its help, whether a counter
// (which only grows) or a gauge.  Its value is the figure's in the metric's
// own unit (bytes for a rate, a ratio for a percentage).
struct Metric {
    const char *name;
    const char *help;
    bool counter;
};

struct Figure {
    // In the lines' header and as the JSON key; a LAN's figure has one for
    // each LAN, named with A or B at the end.  Null: in no line.
    const char *name;
    bool ofEachLan;
    FigureUnit unit;
    // Its value where it is known (true); unknown, false.
    bool (*value)(const Board *board, int lan, const FigureContext *context, int64_t *value);
    SinceKind since;
    TroubleKind trouble;  // the trouble it shows (kTroubleKinds: none)
    const Metric *metric; // null: not a metric
};

// The rows, in the order of the lines' columns.
enum FigureId {
    kFigureBoard,
    kFigureState,
    kFigureLinkStatus,
    kFigureRxGoodOctets,
    kFigureTxOctets,
    kFigureRxErr,
    kFigureInterval,
    kFigureRxGoodOctetsDelta,
    kFigureTxOctetsDelta,
    kFigureRxErrDelta,
    kFigureRxDivergence,
    kFigureTxDivergence,
    kFigureDivergent,
    kFigureRxErrSinceStart,
    kFigureResets,
    kFigureRxRate,
    kFigureTxRate,
    kFigureLanSpeed,
    kFigureLinkLosses,
    kFigureLinkDownSeconds,
    kFigureErrorsPerSecond,
    kFigureReceivedTotal,
    kFigureTransmittedTotal,
    kFigureCount
};
// The rows, here whole, so that an output can check its own layout of them
// as it is built.
namespace figure_rows {
// A figure read from a LAN's or the board's model, where known says it is
// known.
#define OF_LAN(known, expression)                                                                  \
    [](const Board *board, int lan, const FigureContext *context, int64_t *value) -> bool {        \
        const Lan &l = board->lan[lan];                                                            \
        (void)l, (void)context;                                                                    \
        if (!known(board, lan))                                                                    \
            return false;                                                                          \
        *value = (int64_t)(expression);                                                            \
        return true;                                                                               \
    }
#define OF_BOARD(known, expression)                                                                \
    [](const Board *board, int, const FigureContext *context, int64_t *value) -> bool {            \
        (void)context;                                                                             \
        if (!known(board, 0))                                                                      \
            return false;                                                                          \
        *value = (int64_t)(expression);                                                            \
        return true;                                                                               \
    }

// When a figure is known.
inline bool Always(const Board *, int) { return true; }
inline bool OnceSampled(const Board *board, int) { return board->sampled; } // a total stays
inline bool WithRecord(const Board *board, int) {
    return board->sampled && HasRecord(board->state);
}
// What is counted: nothing of a board too fast for its counters.
inline bool Counted(const Board *board, int) { return board->sampled && !board->tooFast; }
inline bool WithStep(const Board *board, int) { return board->stepped && !board->tooFast; }
inline bool WithRates(const Board *board, int) { return board->ratesKnown; }
template <Counter counter> inline bool Compared(const Board *board, int) {
    return RatesCompared(board, counter);
}

// The metrics, named as dashboards and alerts know them.  The totals are
// 64 bits wide: the sums of each second's differences, which never wrap.
inline constexpr Metric kReceived = {"prp_hsr_receive_good_bytes_total",
                                     "Good octets received since WatchBoards started.", true};
inline constexpr Metric kTransmitted = {"prp_hsr_transmit_bytes_total",
                                        "Octets transmitted since WatchBoards started.", true};
inline constexpr Metric kErrorsTotal = {"prp_hsr_receive_errors_total",
                                        "Receive errors since WatchBoards started.", true};
inline constexpr Metric kLinkStatus = {"prp_hsr_link_status",
                                       "The link status as published (1 up, 0 down).", false};
inline constexpr Metric kResets = {
    "prp_hsr_resets_total", "Counters seen going back, and blocks that vanished and came back.",
    true};
inline constexpr Metric kState = {"prp_hsr_board_state",
                                  "1 for the board's state now, 0 for the others.", false};
inline constexpr Metric kLanSpeed = {
    "prp_hsr_lan_speed_bytes", "The LAN speed taken for the board, in bytes a second.", false};
inline constexpr Metric kLinkLosses = {"prp_hsr_link_losses_total",
                                       "Publications that turned the link from up to down.", true};
inline constexpr Metric kLinkDownSeconds = {
    "prp_hsr_link_down_seconds_total",
    "Seconds the link was published down, from the publication that showed it down to the one "
    "that showed it up.",
    true};

inline constexpr TroubleKind kNone = kTroubleKinds;

inline constexpr Figure kFigures[kFigureCount] = {
    // name, of each LAN, unit, value (where known), since, trouble, metric
    {"board", false, kUnitCount, OF_BOARD(Always, board->boardIndex), kSinceNotSaid, kNone,
     nullptr},
    {"state", false, kUnitState, OF_BOARD(Always, board->state), kSinceNotSaid, kNone, &kState},
    {"linkStatus", true, kUnitLink, OF_LAN(WithRecord, l.linkStatus), kSinceLinkChanged,
     kTroubleLinkDown, &kLinkStatus},
    {"rxGoodOctets", true, kUnitCount, OF_LAN(WithRecord, l.counter[kRxOctets]), kSinceNotSaid,
     kNone, nullptr},
    {"txOctets", true, kUnitCount, OF_LAN(WithRecord, l.counter[kTxOctets]), kSinceNotSaid, kNone,
     nullptr},
    {"rxErr", true, kUnitCount, OF_LAN(WithRecord, l.counter[kRxErrors]), kSinceNotSaid, kNone,
     nullptr},
    {"intervalMs", false, kUnitCount, OF_BOARD(WithStep, board->roundPeriods *kPublishingPeriodMs),
     kSinceNotSaid, kNone, nullptr},
    {"rxGoodOctetsDelta", true, kUnitCount, OF_LAN(WithStep, l.roundStep[kRxOctets]), kSinceNotSaid,
     kNone, nullptr},
    {"txOctetsDelta", true, kUnitCount, OF_LAN(WithStep, l.roundStep[kTxOctets]), kSinceNotSaid,
     kNone, nullptr},
    {"rxErrDelta", true, kUnitCount, OF_LAN(WithStep, l.roundStep[kRxErrors]), kSinceNotSaid, kNone,
     nullptr},
    {"rxDivergence", false, kUnitPercent,
     OF_BOARD(Compared<kRxOctets>, RateDivergence(board, kRxOctets)), kSinceNotSaid,
     kTroubleRxApart, nullptr},
    {"txDivergence", false, kUnitPercent,
     OF_BOARD(Compared<kTxOctets>, RateDivergence(board, kTxOctets)), kSinceNotSaid,
     kTroubleTxApart, nullptr},
    {"divergent", false, kUnitFlag,
     OF_BOARD(WithRates,
              HasTrouble(board, kTroubleRxApart, 0) || HasTrouble(board, kTroubleTxApart, 0)),
     kSinceNotSaid, kNone, nullptr},
    {"rxErrSinceStart", true, kUnitCount, OF_LAN(Counted, l.total[kRxErrors]), kSinceNotSaid, kNone,
     &kErrorsTotal},
    {"resets", false, kUnitCount, OF_BOARD(Always, board->resets), kSinceNotSaid, kNone, &kResets},
    {"rxRate", true, kUnitRate, OF_LAN(WithRates, l.perSecond[kRxOctets]), kSinceNotSaid, kNone,
     nullptr},
    {"txRate", true, kUnitRate, OF_LAN(WithRates, l.perSecond[kTxOctets]), kSinceNotSaid, kNone,
     nullptr},
    {"lanSpeed", false, kUnitRate, OF_BOARD(Always, board->bitsPerSecond / 8), kSinceNotSaid, kNone,
     &kLanSpeed},
    {"linkLosses", true, kUnitCount, OF_LAN(OnceSampled, l.linkLosses), kSinceNotSaid, kNone,
     &kLinkLosses},
    {"linkDownSeconds", true, kUnitSeconds,
     OF_LAN(OnceSampled, l.downPeriods *kPublishingPeriodMs / 1000), kSinceNotSaid, kNone,
     &kLinkDownSeconds},
    {nullptr, true, kUnitCount, OF_LAN(WithRates, l.perSecond[kRxErrors]), kSinceNotSaid,
     kTroubleErrors, nullptr},
    {nullptr, true, kUnitCount, OF_LAN(Counted, l.total[kRxOctets]), kSinceNotSaid, kNone,
     &kReceived},
    {nullptr, true, kUnitCount, OF_LAN(Counted, l.total[kTxOctets]), kSinceNotSaid, kNone,
     &kTransmitted},
};
#undef OF_LAN
#undef OF_BOARD
} // namespace figure_rows
using figure_rows::kFigures;

// The value of a board's figure (of its LAN lan) where it is known.
inline bool FigureValue(FigureId id, const Board *board, int lan, const FigureContext *context,
                        int64_t *value) {
    return kFigures[id].value(board, lan, context, value);
}

// For how long a figure of the board (of its LAN lan) has been as it is,
// where the figure says so.
inline Since SinceOf(const Figure &figure, const Board *board, int lan) {
    if (figure.since == kSinceLinkChanged) // before a change is seen, since the start at least
        return Since{board->lan[lan].linkChangedMs, !board->lan[lan].linkChangeSeen};
    return Since{0, false};
}

// Whether a figure shows trouble in the board's verdict.
inline Severity FigureSeverity(const Figure &figure, const Board *board, int lan) {
    for (int i = 0; i < board->verdict.count; i++) {
        const Trouble &trouble = board->verdict.troubles[i];
        if (trouble.kind == figure.trouble && (!figure.ofEachLan || trouble.lan == lan))
            return trouble.severity;
    }
    return kNoTrouble;
}

#endif
