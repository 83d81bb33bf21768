// Reading a board's record through the statistics library, for reading
// only, without ever ending the program or waiting: a block that cannot be
// opened is a board gone (no block) or unreadable (no right, not a file),
// and is looked for again at the next look.
#ifndef BOARDS_READING_H
#define BOARDS_READING_H

#include <stdint.h>

#include "prp_value.h"
#include "statistics_block.h"

struct BoardBlock {
    bool mapped;
    BlockState state; // what the last read found
    int error;        // why it is unreadable: the system's error code
    PrpValue record;  // as the last read found it
    StatisticsBlock block;
};

void StartBoardBlock(BoardBlock *block, int32_t boardIndex);

// Reads the board's whole record into block->record; with look, after
// looking whether the block is still there, whole, and the one named so
// (once a second is enough); without, at the cost of a comparison alone.
// *again says whether the record is the one the read before found.  On
// anything but kBlockWhole block->record is left undefined.
BlockState ReadBoardRecord(BoardBlock *block, bool look, bool *again);

// Lets go of the block, for a board no longer watched.
void EndBoardBlock(BoardBlock *block);

#endif
