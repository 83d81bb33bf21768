#include "look.h"

#include "clock.h"
#include "deadline.h"

// Whether a board is known: its record is not current, or a publication
// that changed it has given its rates (a publication due that did not come
// counts nothing, and says nothing of a live board).
static bool Known(const Board *board) {
    return board->state != kBoardLive || board->tooFast ||
           (board->phaseMs != 0 && board->ratesKnown);
}

static bool AllKnown(const Watch *watch) {
    for (int slot = 0; slot < watch->count; slot++)
        if (!Known(&watch->boards[slot]))
            return false;
    return true;
}

bool LookAtBoards(const CheckOptions *options, Watch *watch) {
    StartWatch(watch, &options->named, &options->settings, MonotonicMilliseconds(), true, false);
    for (int rounds = 0;;) {
        uint64_t now = MonotonicMilliseconds(), next = NextDueMs(watch);
        if (next > now)
            PauseMilliseconds((uint32_t)(next - now));
        if (!StepWatch(watch, MonotonicMilliseconds()))
            continue;
        if (++rounds == 1 && !AnyPublished(watch))
            return false;
        if (AllKnown(watch) || rounds == kMostRounds)
            return true;
    }
}
