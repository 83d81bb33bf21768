#include "look.h"

#include "deadline.h"
#include "rounds.h"

// Enough for a board faster than its speed, which three publications in a
// row tell (board_view.h), and for a stale one (the stale time is two
// periods and a half).
enum { kMostRounds = 5 };

static void StartLook(const CheckOptions *options, const int32_t *boards, int count, Look *look) {
    look->count = count;
    for (int i = 0; i < count; i++) {
        StartBoardView(&look->views[i], boards[i],
                       SpeedOf(&options->named, &options->settings, boards[i]));
        StartBoardBlock(&look->blocks[i], boards[i]);
    }
}

// Whether a board is known: its record is not there, is stale, or a
// publication that changed it has given its rates (a publication due that
// did not come counts nothing, and says nothing of a live board).
static bool Known(const BoardView *board) {
    return board->state != kBoardLive || board->tooFast ||
           (board->phaseMs != 0 && board->ratesKnown);
}

static bool AllKnown(const Look *look) {
    for (int i = 0; i < look->count; i++)
        if (!Known(&look->views[i]))
            return false;
    return true;
}

static bool NothingPublished(const Look *look) {
    for (int i = 0; i < look->count; i++)
        if (look->views[i].state != kBoardGone)
            return false;
    int32_t any;
    return ListPublishedBoards(&any, 1) == 0;
}

bool LookAtBoards(const CheckOptions *options, Look *look) {
    if (options->named.boardCount != 0) {
        StartLook(options, options->named.boards, options->named.boardCount, look);
    } else {
        static int32_t published[kMostBoards];
        int count = ListPublishedBoards(published, kMostBoards);
        StartLook(options, published, count < kMostBoards ? count : kMostBoards, look);
        if (count == 0)
            return false;
    }
    RoundClock clock;
    StartClock(&clock, MonotonicMilliseconds());
    uint64_t phaseMs = 0;
    for (int rounds = 0;;) {
        uint64_t now = MonotonicMilliseconds(), next = NextDueMs(&clock, phaseMs);
        if (next > now)
            PauseMilliseconds((uint32_t)(next - now));
        now = MonotonicMilliseconds();
        Due due = DueAt(&clock, now, phaseMs);
        if (due == kDueNothing)
            continue;
        phaseMs =
            ReadBoards(look->views, look->blocks, look->count, now, due == kDueRound, phaseMs);
        if (due != kDueRound)
            continue;
        for (int i = 0; i < look->count; i++)
            CloseRound(&look->views[i], now, &options->settings);
        if (++rounds == 1 && NothingPublished(look))
            return false;
        if (AllKnown(look) || rounds == kMostRounds)
            return true;
    }
}
