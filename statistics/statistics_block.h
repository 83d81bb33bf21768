// A reader's access to the statistics service's blocks, one implementation
// per platform.  Each opening step returns 0 or the operating system's error
// code, taken right after the step failed.
#ifndef STATISTICS_STATISTICS_BLOCK_H
#define STATISTICS_STATISTICS_BLOCK_H

#include <stdint.h>

#include "prp_value.h"

// How a reader opens a block: with all access, as the monitors ask, or
// for reading only, which is all a reader needs (so the publisher need
// grant no more).
enum StatisticsAccess { kAllAccess, kReadOnly };

// A board's block, once opened, and its record, once mapped.
struct StatisticsBlock {
    int32_t boardIndex;
    StatisticsAccess access;
    intptr_t handle;
    const PrpValue *view;
};

// Opens the existing block of the board; never creates it, and never waits
// (a FIFO planted at its name is opened without a writer).
int OpenStatisticsBlock(int32_t boardIndex, StatisticsAccess access, StatisticsBlock *block);

// Maps the whole record, shared, from the start of the block, with the
// access it was opened with.  A block that is not a regular file cannot be.
int MapStatisticsRecord(StatisticsBlock *block);

// What an error of the two above means: no block at all; a block shorter
// than the record (of MapStatisticsRecord).
bool NoSuchBlock(int error);
bool BlockTooShort(int error);

void CloseStatisticsBlock(StatisticsBlock *block);

// What a copy of the record found.
enum BlockState {
    kBlockWhole,      // copied
    kBlockShort,      // the block is shorter than the record now: not copied
    kBlockGone,       // the block's name is gone, and no block has taken it again
    kBlockUnreadable, // a block there that cannot be opened or mapped (no right, not a file)
};

// Looks whether the block is still there, whole, and the one named so: a
// block removed and made again under the same name, as a restarted
// publisher does, is followed.
BlockState LookAtStatisticsBlock(StatisticsBlock *block);

// Copies the whole record as it is now, or leaves copy as it was (the last
// whole record) when the block cannot give one.  A block removed and made
// again under the same name, as a restarted publisher does, is followed.
// A block that shrinks, even during the copy, ends nothing.
BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy);

// For a reader that reads often and looks now and then: brings *copy up to
// date with the record without looking at the block first, copying only
// when it differs (*changed says whether it did).  A block removed
// meanwhile is found at the next CopyStatisticsRecord; one cut short, before
// or during the read, ends it as kBlockShort, with *copy left undefined.
BlockState PeekStatisticsRecord(StatisticsBlock *block, PrpValue *copy, bool *changed);

// The boards whose block exists now, in increasing order: the lowest most
// of them.  Returns how many there are, which may be more.  Linux lists the
// blocks; Windows, which cannot list named objects, tries boards 0 to 15.
int ListPublishedBoards(int32_t *boardIndices, int most);

// Whether the boards published may have changed since the last listing:
// Linux looks at the folder of the blocks; Windows cannot tell.
bool PublishedBoardsMayHaveChanged(void);

#endif
