#include "reading.h"

#include <string.h>

void StartBoardBlock(BoardBlock *block, int32_t boardIndex) {
    memset(block, 0, sizeof *block);
    block->block.boardIndex = boardIndex;
}

BlockState ReadBoardRecord(BoardBlock *block, PrpValue *record) {
    if (!block->mapped) {
        if (OpenStatisticsBlock(block->block.boardIndex, kReadOnly, &block->block) != 0)
            return kBlockGone;
        // A block that is there but cannot be mapped (too short for the
        // record) is tried again from the start at the next read.
        if (MapStatisticsRecord(&block->block) != 0) {
            CloseStatisticsBlock(&block->block);
            return kBlockShort;
        }
        block->mapped = true;
    }
    return CopyStatisticsRecord(&block->block, record);
}
