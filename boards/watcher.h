// The read-and-round loop of every reader of the boards: which boards are
// watched (those named, or every board that publishes, as they appear),
// their reads several times a period, and once a second a round that
// closes each board's figures and verdict, and notes what happened.  A
// program waits for NextDueMs as it likes (for a key, a signal) and steps
// the watch when it is there.
#ifndef BOARDS_WATCHER_H
#define BOARDS_WATCHER_H

#include "arguments.h"
#include "events.h"
#include "reading.h"
#include "rounds.h"

// The events a round notes, of every board at once.
enum { kMostRoundEvents = 4 * kMostBoards };

struct Watch {
    const NamedBoards *named;
    const BoardSettings *settings;
    bool noteEvents;
    // The boards, a slot each: a board keeps its slot while it is watched,
    // so that a program keeps its own for each slot beside them.  A slot
    // taken by another board has its generation raised.
    int count; // slots in use
    Board boards[kMostBoards];
    BoardBlock blocks[kMostBoards];
    EventMemory memory[kMostBoards];
    uint32_t generation[kMostBoards];
    // The slots in the order shown: as named, or by board index.
    int order[kMostBoards];
    // Boards that publish and found no room, at the last look (0: none).
    int unwatched;
    RoundClock clock;
    uint64_t roundMs; // the last round's moment
    // What the last round noted, in the order it happened.
    int eventCount;
    BoardEvent events[kMostRoundEvents];
};

// Starts watching at nowMs: the boards named, or every board that
// publishes; the first round at once (a look that takes the records as
// they are first) or with the service's first publication.
void StartWatch(Watch *watch, const NamedBoards *named, const BoardSettings *settings,
                uint64_t nowMs, bool firstRoundAtOnce, bool noteEvents);

// When the next read or round is due.
uint64_t NextDueMs(const Watch *watch);

// At nowMs: reads the boards when a read is due; when a round is due,
// looks for the boards that publish, reads every board, and closes the
// round.  True when it closed a round.
bool StepWatch(Watch *watch, uint64_t nowMs);

// The parts of a step, for a test that reads records of its own: the
// moment the rounds keep to (the first board's, in order, whose moment is
// known), and the round closed at nowMs for every board watched, after
// their reads: their figures, verdicts and what happened.
uint64_t WatchPhase(const Watch *watch);
void CloseWatchRound(Watch *watch, uint64_t nowMs);

// The board shown i-th.
inline const Board *BoardInOrder(const Watch *watch, int i) {
    return &watch->boards[watch->order[i]];
}

// Whether any board watched has a block.
bool AnyPublished(const Watch *watch);

#endif
