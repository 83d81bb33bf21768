// Reading a board's record through the statistics library, for reading
// only, without ever ending the program: a block that cannot be
// opened is a board that is gone, and is looked for again at the next read.
#ifndef WATCHBOARDS_READING_H
#define WATCHBOARDS_READING_H

#include <stdint.h>

#include "prp_value.h"
#include "statistics_block.h"

struct BoardBlock {
    bool mapped;
    StatisticsBlock block;
};

void StartBoardBlock(BoardBlock *block, int32_t boardIndex);

// Copies the board's whole record into *record; on kBlockShort and
// kBlockGone *record is left as it was.
BlockState ReadBoardRecord(BoardBlock *block, PrpValue *record);

#endif
