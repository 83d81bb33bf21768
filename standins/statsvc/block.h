// The stand-in service's blocks, one implementation per platform.  A board's
// block is the service's alone while it publishes the board: a second
// service for the board is refused, and a block another user made is never
// taken over.  The service keeps its own copy of the record and writes it
// whole at each update, so a block that someone else truncated or removed
// is whole again at the next.
#pragma once

#include <string>

#include "block_name.h"
#include "prp_value.h"

struct Block {
    int32_t boardIndex;
    StatisticsNameChar name[kStatisticsMapNameSize];
#ifdef _WIN32
    void *publisher; // a mutex the service owns while it publishes the board
    void *mapping;
    PrpValue *view;
#else
    int fd; // locked: the lock holds while this stays open
    unsigned long long device, inode;
#endif
};

// Whether the service can hold count blocks at once; when it cannot, why,
// naming how many it can.  On Linux each block keeps a descriptor open.
bool RoomForBlocks(size_t count, std::string *why);

// Makes the board's block, or takes over one that no running service holds
// (a killed service's), open to every user for all access and one record
// long.  Otherwise gives why, a sentence: kBlockHeld when another service
// holds the board.
enum BlockOutcome { kBlockOpened, kBlockHeld, kBlockRefused };
BlockOutcome OpenBlock(int32_t boardIndex, Block *block, std::string *why);

// Writes the record into the block, first making the block again where it
// was removed.  On failure returns false with why.
bool WriteBlock(Block *block, const PrpValue &record, std::string *why);

// Removes the block, when it is still the one the service made, and lets go
// of it.
void RemoveBlock(Block *block);

// Has stop called on every signal that would end the service and that it
// may catch, so that it removes its blocks first; a reader of its output
// that goes away ends nothing.
void CatchEndingSignals(void (*stop)(int));

// Runs read on a thread of its own, which leaves those signals to the main
// thread: there they cut short whatever it waits on, such as a write to a
// reader that reads nothing.
void StartReading(void (*read)());
