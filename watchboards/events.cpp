#include "events.h"

static const char *const kApart[2] = {"rx", "tx"};

// journald's priorities: a warning, a notice, news.
enum Priority { kWarning = 4, kNotice = 5, kNews = 6 };

// One event: when (on the monotonic clock), of which LAN (-1: the board's),
// what, and what goes with it.
struct Event {
    uint64_t ms;
    int lan;
    Priority priority;
    const char *name;
    int64_t tenths = -1;         // of a second it lasted (-1: not said), of a percent apart
    const char *apart = nullptr; // "rx" or "tx", for a divergence
    uint64_t bitsPerSecond = 0;  // for a speed taken
};

// "back after 12 s", "up after 1.0 s": how long a board was away, a link down.
static void AppendLasted(Text *text, const Event &event) {
    if (event.name[0] == 'b')
        AppendDecimal(text, event.tenths / 10, 0);
    else
        AppendDecimal(text, event.tenths, 1);
}

static void AppendJson(Text *text, const Event &event) {
    if (event.lan >= 0) {
        AppendText(text, ",\"lan\":\"");
        AppendText(text, kLanNames[event.lan]);
        AppendChar(text, '"');
    }
    AppendText(text, ",\"event\":\"");
    AppendText(text, event.name);
    AppendChar(text, '"');
    if (event.apart != nullptr) {
        AppendText(text, ",\"divergence\":\"");
        AppendText(text, event.apart);
        AppendChar(text, '"');
        if (event.name[0] == 'b') { // beyond
            AppendText(text, ",\"percent\":");
            AppendDecimal(text, event.tenths, 1);
        }
    } else if (event.tenths >= 0) {
        AppendText(text, ",\"seconds\":");
        AppendLasted(text, event);
    }
    if (event.bitsPerSecond != 0) {
        AppendText(text, ",\"lanSpeed\":");
        AppendUnsigned(text, event.bitsPerSecond);
    }
    AppendText(text, "}\n");
}

// As a person reads it: "LanB down", "LanB up after 1.0 s", "gone", "back
// after 12 s", "reset", "rx +20.0% beyond the mark", "rx within the mark",
// "speed 10G".
static void AppendWords(Text *text, const Event &event) {
    if (event.lan >= 0) {
        AppendText(text, kLanNames[event.lan]);
        AppendChar(text, ' ');
    }
    if (event.apart != nullptr) {
        AppendText(text, event.apart);
        if (event.name[0] == 'w') { // within
            AppendText(text, " within the mark\n");
            return;
        }
        AppendText(text, event.tenths < 0 ? " -" : " +");
        AppendDecimal(text, event.tenths < 0 ? -event.tenths : event.tenths, 1);
        AppendText(text, "% beyond the mark\n");
        return;
    }
    AppendText(text, event.name);
    if (event.tenths >= 0) {
        AppendText(text, " after ");
        AppendLasted(text, event);
        AppendText(text, " s");
    }
    if (event.bitsPerSecond != 0) {
        AppendChar(text, ' ');
        AppendSpeed(text, event.bitsPerSecond);
    }
    AppendChar(text, '\n');
}

static void Emit(Text *text, const Event &event, const BoardView *board,
                 const FigureContext *context, uint64_t wallMs, LineFormat format,
                 EventsFor reader) {
    uint64_t when = wallMs - (context->nowMs - event.ms);
    if (format == kJson) {
        AppendText(text, "{\"time\":\"");
        AppendUtcTime(text, when, true);
        AppendText(text, "\",\"board\":");
        AppendSigned(text, board->boardIndex);
        AppendJson(text, event);
        return;
    }
    if (reader == kForJournal) {
        AppendChar(text, '<');
        AppendUnsigned(text, event.priority);
        AppendChar(text, '>');
    }
    AppendUtcTime(text, when, true);
    AppendText(text, " board ");
    AppendSigned(text, board->boardIndex);
    AppendChar(text, ' ');
    AppendWords(text, event);
}

void AppendEvents(Text *text, BoardEvents *events, const BoardView *board,
                  const FigureContext *context, uint64_t wallMs, LineFormat format,
                  EventsFor reader) {
    uint64_t now = context->nowMs;
    auto emit = [&](const Event &event) {
        if (events->seen)
            Emit(text, event, board, context, wallMs, format, reader);
    };
    bool known = board->state == kBoardLive || board->state == kBoardStale;
    bool wasKnown = events->state == kBoardLive || events->state == kBoardStale;
    if (board->state != events->state) {
        if (known && !wasKnown)
            emit({now, -1, kNews, "back", (int64_t)(now - events->stateSinceMs) / 100});
        if (board->state != kBoardLive || wasKnown)
            emit({now, -1, board->state == kBoardLive ? kNews : kWarning, StateWord(board->state)});
        events->stateSinceMs = now;
    }
    // A link lost and back, in a record that went on (not across a block
    // gone and back, whose links start afresh).
    for (int lan = 0; lan < kLans && known && wasKnown; lan++) {
        const LanView &l = board->lan[lan];
        bool lost = l.linkLosses != events->linkLosses[lan];
        if (lost)
            emit({l.linkLostMs, lan, kWarning, "down"});
        if (l.linkStatus != 0 && (lost || events->linkStatus[lan] == 0))
            emit({l.linkChangedMs, lan, kNews, "up", (int64_t)(l.linkChangedMs - l.linkLostMs) / 100});
    }
    for (uint32_t reset = events->resets; reset < board->resets; reset++)
        emit({now, -1, kWarning, "reset"});
    for (int i = 0; i < 2 && board->ratesKnown; i++) {
        Counter counter = i == 0 ? kRxOctets : kTxOctets;
        int32_t tenths = RateDivergence(board, counter);
        bool beyond = BeyondMark(tenths, context->settings);
        if (beyond != events->beyond[i]) {
            Event apart = {now, -1, beyond ? kWarning : kNews, beyond ? "beyond" : "within",
                           beyond ? tenths : -1, kApart[i]};
            emit(apart);
        }
        events->beyond[i] = beyond;
    }
    if (board->bitsPerSecond != events->bitsPerSecond || board->tooFast != events->tooFast) {
        Event speed = {now, -1, kNotice, board->tooFast ? "speed beyond" : "speed"};
        speed.bitsPerSecond = board->tooFast ? 10000000000ull : board->bitsPerSecond;
        emit(speed);
    }
    if (!events->seen)
        events->stateSinceMs = now;
    events->seen = true;
    events->state = board->state;
    for (int lan = 0; lan < kLans; lan++) {
        events->linkStatus[lan] = board->lan[lan].linkStatus;
        events->linkLosses[lan] = board->lan[lan].linkLosses;
    }
    events->resets = board->resets;
    events->bitsPerSecond = board->bitsPerSecond;
    events->tooFast = board->tooFast;
}
