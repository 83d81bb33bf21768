#include "lines.h"

enum ColumnKind { kNumber, kWord, kTenths, kFlag };

// A column's value for a board; false when the board has none (the line
// leaves it empty, JSON says null).
struct Value {
    bool present;
    ColumnKind kind;
    int64_t number;
    const char *word;
};

static Value Number(bool present, int64_t number) { return Value{present, kNumber, number, ""}; }

static const char *const kStateWords[] = {"live", "stale", "short", "gone"};

enum Source {
    kTime,
    kBoard,
    kState,
    kLinkStatus, // from the record
    kCounter,    // from the record
    kInterval,   // over the last step
    kStep,       // over the last step
    kRxDivergence,
    kTxDivergence,
    kDivergent,
    kErrorsSinceStart,
    kResets,
};

struct Column {
    const char *name;
    Source source;
    int lan;
    uint32_t LanView::*counter; // for kCounter and kStep
};

// The columns, in order; each LAN's pair A before B.
static const Column kColumns[] = {
    {"time", kTime, 0, nullptr},
    {"board", kBoard, 0, nullptr},
    {"state", kState, 0, nullptr},
    {"linkStatusA", kLinkStatus, kLanA, nullptr},
    {"linkStatusB", kLinkStatus, kLanB, nullptr},
    {"rxGoodOctetsA", kCounter, kLanA, &LanView::rxGoodOctets},
    {"rxGoodOctetsB", kCounter, kLanB, &LanView::rxGoodOctets},
    {"txOctetsA", kCounter, kLanA, &LanView::txOctets},
    {"txOctetsB", kCounter, kLanB, &LanView::txOctets},
    {"rxErrA", kCounter, kLanA, &LanView::rxErr},
    {"rxErrB", kCounter, kLanB, &LanView::rxErr},
    {"intervalMs", kInterval, 0, nullptr},
    {"rxGoodOctetsDeltaA", kStep, kLanA, &LanView::rxStep},
    {"rxGoodOctetsDeltaB", kStep, kLanB, &LanView::rxStep},
    {"txOctetsDeltaA", kStep, kLanA, &LanView::txStep},
    {"txOctetsDeltaB", kStep, kLanB, &LanView::txStep},
    {"rxErrDeltaA", kStep, kLanA, &LanView::errStep},
    {"rxErrDeltaB", kStep, kLanB, &LanView::errStep},
    {"rxDivergence", kRxDivergence, 0, nullptr},
    {"txDivergence", kTxDivergence, 0, nullptr},
    {"divergent", kDivergent, 0, nullptr},
    {"rxErrSinceStartA", kErrorsSinceStart, kLanA, nullptr},
    {"rxErrSinceStartB", kErrorsSinceStart, kLanB, nullptr},
    {"resets", kResets, 0, nullptr},
};

// known: whether the board's record is shown (not for a block that is gone).
static Value ColumnValue(const Column &column, const BoardView *board, bool known,
                         const char *time, const ViewSettings *settings) {
    const LanView *lan = &board->lan[column.lan];
    const LanView *a = &board->lan[kLanA], *b = &board->lan[kLanB];
    switch (column.source) {
    case kTime:
        return Value{true, kWord, 0, time};
    case kBoard:
        return Number(true, board->boardIndex);
    case kState:
        return Value{true, kWord, 0, kStateWords[board->state]};
    case kLinkStatus:
        return Number(known, lan->linkStatus);
    case kCounter:
        return Number(known, lan->*column.counter);
    case kInterval:
        return Number(board->stepped, board->elapsedMs);
    case kStep:
        return Number(board->stepped, lan->*column.counter);
    case kRxDivergence:
        return Value{board->stepped, kTenths, DivergenceTenths(a->rxStep, b->rxStep), ""};
    case kTxDivergence:
        return Value{board->stepped, kTenths, DivergenceTenths(a->txStep, b->txStep), ""};
    case kDivergent:
        return Value{true, kFlag, Diverges(board, settings), ""};
    case kErrorsSinceStart:
        return Number(board->sampled, (int64_t)lan->errorsSinceStart);
    case kResets:
        break;
    }
    return Number(true, board->resets);
}

static void AppendValue(Text *text, Value value, LineFormat format) {
    if (!value.present) {
        if (format == kJson)
            AppendText(text, "null");
        return;
    }
    switch (value.kind) {
    case kNumber:
        AppendSigned(text, value.number);
        break;
    case kWord:
        if (format == kJson)
            AppendChar(text, '"');
        AppendText(text, value.word);
        if (format == kJson)
            AppendChar(text, '"');
        break;
    case kTenths: {
        uint64_t magnitude = value.number < 0 ? 0 - (uint64_t)value.number : (uint64_t)value.number;
        if (value.number < 0)
            AppendChar(text, '-');
        AppendUnsigned(text, magnitude / 10);
        AppendChar(text, '.');
        AppendChar(text, (char)('0' + magnitude % 10));
        break;
    }
    case kFlag:
        if (format == kJson)
            AppendText(text, value.number ? "true" : "false");
        else
            AppendChar(text, value.number ? '1' : '0');
        break;
    }
}

void AppendHeaderLine(Text *text, LineFormat format) {
    if (format == kJson)
        return;
    for (const Column &column : kColumns) {
        if (&column != kColumns)
            AppendChar(text, '\t');
        AppendText(text, column.name);
    }
    AppendChar(text, '\n');
}

void AppendBoardLine(Text *text, const BoardView *board, const char *time,
                     const ViewSettings *settings, LineFormat format) {
    if (format == kJson)
        AppendChar(text, '{');
    bool known = board->sampled && board->state != kBoardGone;
    for (const Column &column : kColumns) {
        if (&column != kColumns)
            AppendChar(text, format == kJson ? ',' : '\t');
        if (format == kJson) {
            AppendChar(text, '"');
            AppendText(text, column.name);
            AppendText(text, "\":");
        }
        AppendValue(text, ColumnValue(column, board, known, time, settings), format);
    }
    AppendText(text, format == kJson ? "}\n" : "\n");
}
