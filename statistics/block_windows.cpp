#include "statistics_block.h"

#include <string.h>
#include <windows.h>

#include "block_name.h"

static DWORD Rights(StatisticsAccess access) {
    return access == kReadOnly ? FILE_MAP_READ : FILE_MAP_ALL_ACCESS;
}

int OpenStatisticsBlock(int32_t boardIndex, StatisticsAccess access, StatisticsBlock *block) {
    wchar_t name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    HANDLE mapping = OpenFileMappingW(Rights(access), FALSE, name);
    if (mapping == NULL)
        return (int)GetLastError();
    block->boardIndex = boardIndex;
    block->access = access;
    block->handle = (intptr_t)mapping;
    block->view = NULL;
    return 0;
}

int MapStatisticsRecord(StatisticsBlock *block) {
    void *view = MapViewOfFile((HANDLE)block->handle, Rights(block->access), 0, 0, sizeof(PrpValue));
    if (view == NULL)
        return (int)GetLastError();
    block->view = (const PrpValue *)view;
    return 0;
}

bool NoSuchBlock(int error) { return error == ERROR_FILE_NOT_FOUND; }
// A view longer than the section is refused; no other failure is known.
bool BlockTooShort(int error) { return error != 0; }

void CloseStatisticsBlock(StatisticsBlock *block) {
    if (block->view != NULL)
        UnmapViewOfFile(block->view);
    CloseHandle((HANDLE)block->handle);
}

// A section neither shrinks nor goes while a handle to it is open, and a
// restarted publisher opens the very section the monitor holds.
BlockState LookAtStatisticsBlock(StatisticsBlock *) { return kBlockWhole; }

BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy) {
    memcpy(copy, block->view, sizeof *copy);
    return kBlockWhole;
}

BlockState PeekStatisticsRecord(StatisticsBlock *block, PrpValue *copy, bool *changed) {
    *changed = memcmp(copy, block->view, sizeof *copy) != 0;
    if (*changed)
        memcpy(copy, block->view, sizeof *copy);
    return kBlockWhole;
}

// Named objects cannot be listed: the boards a service usually serves are
// tried one by one.
enum { kBoardsTried = 16 };

int ListPublishedBoards(int32_t *boardIndices, int most) {
    int found = 0;
    for (int32_t boardIndex = 0; boardIndex < kBoardsTried; boardIndex++) {
        StatisticsBlock block = {};
        if (OpenStatisticsBlock(boardIndex, kReadOnly, &block) == 0) {
            CloseStatisticsBlock(&block);
            if (found < most)
                boardIndices[found] = boardIndex;
            found++;
        }
    }
    return found;
}

bool PublishedBoardsMayHaveChanged(void) { return true; }
