// What happened to a board, as a reader sees it happen: the changes each
// round finds since the round before (a link lost and back, the board's
// state, a reset, LanA and LanB going apart beyond the mark and back, a
// speed taken), each with its moment.  What they are, not how they are
// written: an output says them in its own words.
#ifndef BOARDS_EVENTS_H
#define BOARDS_EVENTS_H

#include "model.h"

enum EventKind : uint8_t {
    kEventState,    // the board's state now (state), unless it is back live
    kEventBack,     // its record back after a spell without one
    kEventLinkDown, // of a LAN
    kEventLinkUp,   // of a LAN
    kEventReset,
    kEventBeyond, // LanA's rate (of apart) further than the mark from LanB's
    kEventWithin, // and back within it
    kEventSpeed,  // a LAN speed taken (bitsPerSecond), or none fast enough (tooFast)
};

// How much an event weighs, as the journal's priorities do.
enum EventWeight : uint8_t { kEventWarning, kEventNotice, kEventNews };

struct BoardEvent {
    uint64_t ms; // on the monotonic clock
    int32_t boardIndex;
    const char *name; // the board's, "" where it has none
    EventKind kind;
    EventWeight weight;
    int8_t lan;       // of a link's event
    BoardState state; // of kEventState
    // How long it lasted, in tenths of a second (-1: not known, as for a
    // link down when first seen); or LanA against LanB in tenths of a
    // percent (kEventBeyond).
    int64_t tenths;
    Counter apart; // kRxOctets or kTxOctets, of kEventBeyond and kEventWithin
    uint64_t bitsPerSecond;
    bool tooFast;
};

// What a board's events are told from: the board as the round before
// found it.
struct EventMemory {
    bool seen; // a round has found the board
    BoardState state;
    uint64_t stateSinceMs;
    uint8_t linkStatus[kLans];
    uint32_t linkLosses[kLans];
    uint32_t resets;
    bool beyond[2]; // rx, tx
    uint64_t bitsPerSecond;
    bool tooFast;
};

// The most events a board has in a round.
enum { kMostBoardEvents = 12 };

// The events of the board since the round before, at nowMs, into events
// (room for kMostBoardEvents); returns how many.
int NoteEvents(EventMemory *memory, const Board *board, uint64_t nowMs, BoardEvent *events);

// Puts events in the order of their moments, those of the same moment as
// they were.
void SortEvents(BoardEvent *events, int count);

#endif
