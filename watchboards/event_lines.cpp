#include "event_lines.h"

// journald's priorities, by the event's weight.
static const char kPriorities[] = {'4', '5', '6'};

static const char *ApartName(const BoardEvent &event) {
    return event.apart == kRxOctets ? "rx" : "tx";
}

// "back after 12 s", "up after 1.0 s": how long a board was away, a link down.
static void AppendLasted(Text *text, const BoardEvent &event) {
    if (event.kind == kEventBack)
        AppendDecimal(text, event.tenths / 10, 0);
    else
        AppendDecimal(text, event.tenths, 1);
}

// What the event is called in JSON: "down", "up", "back", "reset",
// "beyond", "within", "speed", "speed beyond", or the state's word.
static const char *Name(const BoardEvent &event) {
    switch (event.kind) {
    case kEventState:
        return StateWord(event.state);
    case kEventBack:
        return "back";
    case kEventLinkDown:
        return "down";
    case kEventLinkUp:
        return "up";
    case kEventReset:
        return "reset";
    case kEventBeyond:
        return "beyond";
    case kEventWithin:
        return "within";
    case kEventSpeed:
        return event.tooFast ? "speed beyond" : "speed";
    }
    return "";
}

static bool OfLan(const BoardEvent &event) {
    return event.kind == kEventLinkDown || event.kind == kEventLinkUp;
}

// The speed said: the one taken, or the fastest there is, beyond which
// nothing is counted.
static uint64_t SpeedSaid(const BoardEvent &event) {
    return event.tooFast ? 10000000000ull : event.bitsPerSecond;
}

static void AppendJson(Text *text, const BoardEvent &event) {
    if (OfLan(event)) {
        AppendText(text, ",\"lan\":\"");
        AppendText(text, kLanNames[event.lan]);
        AppendChar(text, '"');
    }
    AppendText(text, ",\"event\":\"");
    AppendText(text, Name(event));
    AppendChar(text, '"');
    if (event.kind == kEventBeyond || event.kind == kEventWithin) {
        AppendText(text, ",\"divergence\":\"");
        AppendText(text, ApartName(event));
        AppendChar(text, '"');
        if (event.kind == kEventBeyond) {
            AppendText(text, ",\"percent\":");
            AppendDecimal(text, event.tenths, 1);
        }
    } else if (event.tenths >= 0) {
        AppendText(text, ",\"seconds\":");
        AppendLasted(text, event);
    }
    if (event.kind == kEventSpeed) {
        AppendText(text, ",\"lanSpeed\":");
        AppendUnsigned(text, SpeedSaid(event));
    }
    AppendText(text, "}\n");
}

// As a person reads it: "LanB down", "LanB up after 1.0 s", "gone", "back
// after 12 s", "reset", "rx +20.0% beyond the mark", "rx within the mark",
// "speed 10G".
static void AppendWords(Text *text, const BoardEvent &event) {
    if (OfLan(event)) {
        AppendText(text, kLanNames[event.lan]);
        AppendChar(text, ' ');
    }
    if (event.kind == kEventBeyond || event.kind == kEventWithin) {
        AppendText(text, ApartName(event));
        if (event.kind == kEventWithin) {
            AppendText(text, " within the mark\n");
            return;
        }
        AppendText(text, event.tenths < 0 ? " -" : " +");
        AppendDecimal(text, event.tenths < 0 ? -event.tenths : event.tenths, 1);
        AppendText(text, "% beyond the mark\n");
        return;
    }
    AppendText(text, Name(event));
    if (event.tenths >= 0) {
        AppendText(text, " after ");
        AppendLasted(text, event);
        AppendText(text, " s");
    }
    if (event.kind == kEventSpeed) {
        AppendChar(text, ' ');
        AppendSpeed(text, SpeedSaid(event));
    }
    AppendChar(text, '\n');
}

void AppendEvents(Text *text, const BoardEvent *events, int count, uint64_t nowMs, uint64_t wallMs,
                  LineFormat format, EventsFor reader) {
    for (const BoardEvent *event = events; event < events + count; event++) {
        uint64_t when = wallMs - (nowMs - event->ms);
        if (reader == kForJournal) {
            const char priority[] = {'<', kPriorities[event->weight], '>'};
            AppendChars(text, priority, sizeof priority);
        }
        if (format == kJson) {
            AppendText(text, "{\"time\":\"");
            AppendUtcTime(text, when, true);
            AppendText(text, "\",\"board\":");
            AppendSigned(text, event->boardIndex);
            AppendNameMember(text, event->name);
            AppendJson(text, *event);
            continue;
        }
        AppendUtcTime(text, when, true);
        AppendChar(text, ' ');
        AppendBoard(text, event->boardIndex, event->name, false);
        AppendChar(text, ' ');
        AppendWords(text, *event);
    }
}
