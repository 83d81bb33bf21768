#include "reading.h"

#include <string.h>

void StartBoardBlock(BoardBlock *block, int32_t boardIndex) {
    memset(block, 0, sizeof *block);
    block->boardIndex = boardIndex;
}

BlockState ReadBoardRecord(BoardBlock *block, PrpValue *record) {
    if (!block->mapped) {
        if (OpenStatisticsBlock(block->boardIndex, &block->handle) != 0)
            return kBlockGone;
        int error = MapStatisticsRecord(block->handle, &block->view);
        if (error != 0) {
            CloseStatisticsBlock(block->handle);
            return error == 22 ? kBlockShort : kBlockGone;
        }
        block->mapped = true;
    }
    memcpy(record, block->view, sizeof *record);
    return kBlockWhole;
}
