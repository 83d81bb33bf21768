#include "watcher.h"

#include <string.h>

#include "names.h"

// A board takes a slot.
static void Take(Watch *watch, int slot, int32_t boardIndex) {
    StartBoard(&watch->boards[slot], boardIndex, SpeedOf(watch->named, boardIndex));
    watch->boards[slot].name = NameOf(watch->named->names, boardIndex);
    EndBoardBlock(&watch->blocks[slot]);
    StartBoardBlock(&watch->blocks[slot], boardIndex);
    memset(&watch->memory[slot], 0, sizeof watch->memory[slot]);
    watch->generation[slot]++;
}

// Puts the slot in the order, by board index.
static void Order(Watch *watch, int slot, int shown) {
    int at = 0, past = shown; // where it goes: at or before past
    while (at < past) {
        int middle = at + (past - at) / 2;
        if (watch->boards[watch->order[middle]].boardIndex < watch->boards[slot].boardIndex)
            at = middle + 1;
        else
            past = middle;
    }
    memmove(&watch->order[at + 1], &watch->order[at],
            (size_t)(shown - at) * sizeof watch->order[0]);
    watch->order[at] = slot;
}

// Every board that publishes is watched, in increasing order, as long as
// there is room; where there is none, a board that no longer publishes
// makes room for one that does.
static void FollowPublished(Watch *watch) {
    static int32_t published[kMostBoards];
    int count = ListPublishedBoards(published, kMostBoards);
    int listed = count < kMostBoards ? count : kMostBoards;
    // Both in increasing order: the slots of boards that no longer publish,
    // and the boards that publish and are not watched.
    static int gone[kMostBoards], fresh[kMostBoards];
    int goneCount = 0, freshCount = 0;
    for (int i = 0, p = 0; i < watch->count || p < listed;) {
        int32_t watched = i < watch->count ? watch->boards[watch->order[i]].boardIndex : INT32_MAX;
        if (p < listed && (i == watch->count || published[p] < watched)) {
            fresh[freshCount++] = p++;
        } else if (p < listed && published[p] == watched) {
            i++, p++;
        } else {
            gone[goneCount++] = watch->order[i++];
        }
    }
    int unwatched = count - listed;
    for (int f = 0, g = 0; f < freshCount; f++) {
        int slot;
        if (watch->count < kMostBoards) {
            slot = watch->count++;
        } else if (g < goneCount) {
            slot = gone[g++];
            int at = 0;
            while (watch->order[at] != slot)
                at++;
            memmove(&watch->order[at], &watch->order[at + 1],
                    (size_t)(watch->count - 1 - at) * sizeof watch->order[0]);
        } else {
            unwatched += freshCount - f;
            break;
        }
        Take(watch, slot, published[fresh[f]]);
        Order(watch, slot, watch->count - 1);
    }
    watch->unwatched = unwatched;
}

static void FollowBoards(Watch *watch) {
    const NamedBoards *named = watch->named;
    if (named->boardCount == 0) {
        if (PublishedBoardsMayHaveChanged())
            FollowPublished(watch);
        return;
    }
    for (; watch->count < named->boardCount; watch->count++) {
        Take(watch, watch->count, named->boards[watch->count]);
        watch->order[watch->count] = watch->count;
    }
}

// Reads the records of the boards: at a look, every board's, after looking
// whether its block is still there; otherwise those of the boards whose
// next publication may have come.
static void ReadBoards(Watch *watch, uint64_t nowMs, bool look) {
    for (int slot = 0; slot < watch->count; slot++) {
        Board *board = &watch->boards[slot];
        if (!look && !WantsRead(board, nowMs))
            continue;
        bool again = false;
        BlockState state = ReadBoardRecord(&watch->blocks[slot], look, &again);
        ReadBoard(board, state, &watch->blocks[slot].record, again, nowMs);
    }
}

void StartWatch(Watch *watch, const NamedBoards *named, const BoardSettings *settings,
                uint64_t nowMs, bool firstRoundAtOnce, bool noteEvents) {
    // Only what is used is touched: the slots as boards take them.
    for (int slot = 0; slot < watch->count; slot++)
        EndBoardBlock(&watch->blocks[slot]);
    watch->count = watch->unwatched = watch->eventCount = 0;
    watch->roundMs = 0;
    watch->named = named;
    watch->settings = settings;
    watch->noteEvents = noteEvents;
    StartClock(&watch->clock, nowMs, firstRoundAtOnce);
    FollowBoards(watch);
    ReadBoards(watch, nowMs, true); // the records as they are, the first change awaited
}

// The service's moment: that of the first board, in order, whose moment is
// known.  Every board keeps its own; a board's record changed between two
// publications moves no round.
uint64_t WatchPhase(const Watch *watch) {
    for (int i = 0; i < watch->count; i++) {
        const Board *board = BoardInOrder(watch, i);
        if (board->phaseMs != 0 && HasRecord(board->state))
            return board->phaseMs;
    }
    return 0;
}

uint64_t NextDueMs(const Watch *watch) { return NextDueMs(&watch->clock, WatchPhase(watch)); }

bool StepWatch(Watch *watch, uint64_t nowMs) {
    Due due = DueAt(&watch->clock, nowMs, WatchPhase(watch));
    if (due == kDueNothing)
        return false;
    if (due == kDueRound)
        FollowBoards(watch);
    ReadBoards(watch, nowMs, due == kDueRound);
    if (due == kDueRound)
        CloseWatchRound(watch, nowMs);
    return due == kDueRound;
}

void CloseWatchRound(Watch *watch, uint64_t nowMs) {
    // The service runs while any board's record changes.
    uint64_t latestChangeMs = 0;
    for (int slot = 0; slot < watch->count; slot++) {
        const Board *board = &watch->boards[slot];
        if (board->sampled && HasRecord(board->state) && board->changedMs > latestChangeMs)
            latestChangeMs = board->changedMs;
    }
    watch->roundMs = nowMs;
    watch->eventCount = 0;
    for (int i = 0; i < watch->count; i++) {
        int slot = watch->order[i];
        CloseRound(&watch->boards[slot], nowMs, watch->settings, latestChangeMs);
        if (watch->noteEvents && watch->eventCount + kMostBoardEvents <= kMostRoundEvents)
            watch->eventCount += NoteEvents(&watch->memory[slot], &watch->boards[slot], nowMs,
                                            &watch->events[watch->eventCount]);
    }
    SortEvents(watch->events, watch->eventCount);
}

bool AnyPublished(const Watch *watch) {
    for (int slot = 0; slot < watch->count; slot++)
        if (watch->boards[slot].state != kBoardGone)
            return true;
    int32_t any;
    return ListPublishedBoards(&any, 1) != 0;
}
