// A reader's access to the statistics service's blocks, one implementation
// per platform.  Each opening step returns 0 or the operating system's error
// code, taken right after the step failed.
#ifndef STATISTICS_STATISTICS_BLOCK_H
#define STATISTICS_STATISTICS_BLOCK_H

#include <stdint.h>

#include "prp_value.h"

// A board's block, once opened, and its record, once mapped.
struct StatisticsBlock {
    int32_t boardIndex;
    intptr_t handle;
    const PrpValue *view;
};

// Opens the existing block of the board with all access; never creates it.
int OpenStatisticsBlock(int32_t boardIndex, StatisticsBlock *block);

// Maps the whole record, shared and writable, from the start of the block.
int MapStatisticsRecord(StatisticsBlock *block);

void CloseStatisticsBlock(StatisticsBlock *block);

// What a copy of the record found.
enum BlockState {
    kBlockWhole, // copied
    kBlockShort, // the block is shorter than the record now: not copied
    kBlockGone,  // the block's name is gone, and no block has taken it again
};

// Copies the whole record as it is now, or leaves copy as it was (the last
// whole record) when the block cannot give one.  A block removed and made
// again under the same name, as a restarted publisher does, is followed.
// A block that shrinks, even during the copy, ends nothing.
BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy);

// The boards whose block exists now, in increasing order: the lowest most
// of them.  Returns how many there are, which may be more.  Linux lists the
// blocks; Windows, which cannot list named objects, tries boards 0 to 15.
int ListPublishedBoards(int32_t *boardIndices, int most);

#endif
