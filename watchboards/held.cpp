#include "held.h"

#include <string.h>

// Heavier: critical before a warning; of the same severity, as the
// verdict orders its kinds, LanA before LanB.
static bool Heavier(const Trouble &a, const Trouble &b) {
    if (a.severity != b.severity)
        return a.severity > b.severity;
    return a.kind != b.kind ? a.kind < b.kind : a.lan < b.lan;
}

static void Seen(HeldTrouble *held, const Trouble &trouble, const Board *board, uint64_t nowMs) {
    held->trouble = trouble;
    held->seenMs = nowMs;
    Text words = TEXT_IN(held->words);
    AppendTroubleWords(&words, board, trouble, nowMs);
}

void HoldTroubles(HeldTroubles *held, const Board *board, uint64_t nowMs) {
    HeldTroubles next;
    next.count = 0;
    next.roundMs = nowMs;
    const Verdict &verdict = board->verdict;
    // What is trouble now, then what was and is held still, in order.
    for (int i = 0; i < verdict.count; i++)
        Seen(&next.held[next.count++], verdict.troubles[i], board, nowMs);
    for (int i = 0; i < held->count; i++) {
        const HeldTrouble &was = held->held[i];
        if (HasTrouble(board, was.trouble.kind, was.trouble.lan) || nowMs - was.seenMs >= kHeldMs ||
            next.count == kMostTroubles)
            continue;
        int at = next.count++;
        for (; at > 0 && Heavier(was.trouble, next.held[at - 1].trouble); at--)
            next.held[at] = next.held[at - 1];
        next.held[at] = was;
    }
    *held = next;
}

void StartGraphs(GraphHistory *history) {
    history->start = 0;
    for (auto &graph : history->value)
        for (auto &lan : graph)
            for (uint32_t &value : lan)
                value = kNotSeen;
}

void KeepGraphs(GraphHistory *history, const Board *board, const FigureContext *context) {
    // The oldest second makes room for this one.
    int newest = history->start;
    history->start = newest + 1 < kHistorySeconds ? newest + 1 : 0;
    int graph = 0;
    for (const ShownFigure &shown : kShownFigures) {
        if (!shown.graphed)
            continue;
        for (int lan = 0; lan < kLans; lan++) {
            int64_t value;
            history->value[graph][lan][newest] =
                !FigureValue(shown.figure, board, lan, context, &value) || value < 0 ? kNoValue
                : value < kNotSeen ? (uint32_t)value
                                   : kNotSeen - 1;
        }
        graph++;
    }
}

const HeldTroubles *TroublesOf(const ShownBoard *board, uint64_t nowMs, HeldTroubles *now) {
    if (board->held != nullptr)
        return board->held;
    now->count = 0;
    now->roundMs = nowMs;
    const Verdict &verdict = board->board->verdict;
    for (int i = 0; i < verdict.count; i++)
        Seen(&now->held[now->count++], verdict.troubles[i], board->board, nowMs);
    return now;
}

// The board's worst trouble, held or now; false when it is in none.
static bool Worst(const ShownBoard *board, uint64_t nowMs, Trouble *worst) {
    if (board->held == nullptr) {
        const Verdict &verdict = board->board->verdict;
        if (verdict.count != 0)
            *worst = verdict.troubles[0];
        return verdict.count != 0;
    }
    if (board->held->count != 0)
        *worst = board->held->held[0].trouble;
    (void)nowMs;
    return board->held->count != 0;
}

bool ShownInTrouble(const ShownBoard *board, uint64_t nowMs) {
    Trouble worst;
    return Worst(board, nowMs, &worst);
}

int ListShown(ShownBoard *list, const ShownBoard *boards, int count, bool troubleOnly,
              bool troubleOrder, uint64_t nowMs) {
    int listed = 0;
    for (int i = 0; i < count; i++) {
        Trouble worst;
        bool inTrouble = Worst(&boards[i], nowMs, &worst);
        if (troubleOnly && !inTrouble)
            continue;
        // Behind every board whose worst trouble is as heavy or heavier.
        int at = listed++;
        for (Trouble other; troubleOrder && inTrouble && at > 0; at--) {
            if (Worst(&list[at - 1], nowMs, &other) && !Heavier(worst, other))
                break;
            list[at] = list[at - 1];
        }
        list[at] = boards[i];
    }
    return listed;
}

void AppendHeld(Text *text, const HeldTroubles *troubles, int i) {
    const HeldTrouble &held = troubles->held[i];
    AppendText(text, held.words);
    if (held.seenMs == troubles->roundMs)
        return;
    AppendText(text, " \xc2\xb7 ");
    AppendUnsigned(text, (troubles->roundMs - held.seenMs + 500) / 1000);
    AppendText(text, " s ago");
}
