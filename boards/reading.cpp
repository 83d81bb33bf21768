#include "reading.h"

#include <string.h>

void StartBoardBlock(BoardBlock *block, int32_t boardIndex) {
    memset(block, 0, sizeof *block);
    block->block.boardIndex = boardIndex;
    block->state = kBlockGone;
}

void EndBoardBlock(BoardBlock *block) {
    if (block->mapped)
        CloseStatisticsBlock(&block->block);
    block->mapped = false;
}

// Opens and maps the block, or says why not.
static BlockState OpenBoardBlock(BoardBlock *block) {
    int error = OpenStatisticsBlock(block->block.boardIndex, kReadOnly, &block->block);
    if (error != 0) {
        block->error = error;
        return NoSuchBlock(error) ? kBlockGone : kBlockUnreadable;
    }
    // A block that is there but cannot be mapped (too short for the record,
    // not a file) is tried again from the start at the next look.
    error = MapStatisticsRecord(&block->block);
    if (error != 0) {
        CloseStatisticsBlock(&block->block);
        block->error = error;
        return BlockTooShort(error) ? kBlockShort : kBlockUnreadable;
    }
    block->mapped = true;
    return kBlockWhole;
}

BlockState ReadBoardRecord(BoardBlock *block, bool look, bool *again) {
    bool whole = block->state == kBlockWhole, changed = true;
    *again = false;
    if (look) {
        BlockState seen = block->mapped ? LookAtStatisticsBlock(&block->block) : kBlockGone;
        if (seen == kBlockShort)
            return block->state = kBlockShort;
        if (seen == kBlockGone && block->mapped) {
            // What now has its name, if anything, is looked at.
            CloseStatisticsBlock(&block->block);
            block->mapped = false;
            whole = false;
        }
        if (!block->mapped)
            block->state = OpenBoardBlock(block);
    }
    if (!block->mapped)
        return block->state;
    block->state = PeekStatisticsRecord(&block->block, &block->record, &changed);
    *again = whole && !changed;
    return block->state;
}
