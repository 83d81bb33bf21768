#include "held.h"

#include <string.h>

static void Seen(HeldTrouble *trouble, const TroubleSeen &seen, const BoardView *board,
                 const FigureContext *context) {
    trouble->figure = seen.figure;
    trouble->lan = seen.lan;
    trouble->seenMs = context->nowMs;
    Text words = TEXT_IN(trouble->words);
    seen.figure->trouble.words(&words, *seen.figure, board, seen.lan, context);
}

void HoldTroubles(HeldTroubles *held, const BoardView *board, const FigureContext *context) {
    TroubleSeen now[kMostTroubles];
    int count = BoardTroubles(board, context, now);
    HeldTroubles next;
    next.count = 0;
    next.roundMs = context->nowMs;
    // What is trouble now, then what was and is held still; each in order
    // of weight, as BoardTroubles gives it.
    for (int i = 0; i < count; i++)
        Seen(&next.trouble[next.count++], now[i], board, context);
    for (int i = 0; i < held->count; i++) {
        const HeldTrouble &was = held->trouble[i];
        bool still = false;
        for (int j = 0; j < count; j++)
            still |= now[j].figure == was.figure && now[j].lan == was.lan;
        if (!still && context->nowMs - was.seenMs < kHeldMs && next.count < kMostTroubles) {
            int at = next.count++;
            for (; at > 0 && next.trouble[at - 1].figure->trouble.weight < was.figure->trouble.weight;
                 at--)
                next.trouble[at] = next.trouble[at - 1];
            next.trouble[at] = was;
        }
    }
    *held = next;
}

// How heavy the board's worst trouble is; 0 for none.
static int Worst(const ShownBoard *board, const FigureContext *context) {
    HeldTroubles now;
    const HeldTroubles *troubles = TroublesOf(board, context, &now);
    return troubles->count != 0 ? troubles->trouble[0].figure->trouble.weight : 0;
}

bool ShownInTrouble(const ShownBoard *board, const FigureContext *context) {
    return Worst(board, context) != 0;
}

int ListShown(ShownBoard *list, const ShownBoard *boards, int count, bool troubleOnly,
              bool troubleOrder, const FigureContext *context) {
    int listed = 0;
    for (int i = 0; i < count; i++) {
        int worst = Worst(&boards[i], context);
        if (troubleOnly && worst == 0)
            continue;
        // Behind every board whose worst trouble is as heavy or heavier.
        int at = listed++;
        for (; troubleOrder && at > 0 && Worst(&list[at - 1], context) < worst; at--)
            list[at] = list[at - 1];
        list[at] = boards[i];
    }
    return listed;
}

const HeldTroubles *TroublesOf(const ShownBoard *board, const FigureContext *context,
                               HeldTroubles *now) {
    if (board->held != nullptr)
        return board->held;
    TroubleSeen seen[kMostTroubles];
    now->count = 0;
    now->roundMs = context->nowMs;
    int count = BoardTroubles(board->view, context, seen);
    for (int i = 0; i < count; i++)
        Seen(&now->trouble[now->count++], seen[i], board->view, context);
    return now;
}

void AppendTrouble(Text *text, const HeldTroubles *troubles, int i) {
    const HeldTrouble &trouble = troubles->trouble[i];
    AppendText(text, trouble.words);
    if (trouble.seenMs == troubles->roundMs)
        return;
    AppendText(text, " \xc2\xb7 ");
    AppendUnsigned(text, (troubles->roundMs - trouble.seenMs + 500) / 1000);
    AppendText(text, " s ago");
}
