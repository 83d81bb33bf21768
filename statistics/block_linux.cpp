#include "statistics_block.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "block_name.h"

int OpenStatisticsBlock(int32_t boardIndex, StatisticsAccess access, StatisticsBlock *block) {
    char name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    // Close-on-exec, as shm_open always is.
    int fd = shm_open(name, access == kReadOnly ? O_RDONLY : O_RDWR, 0);
    if (fd < 0)
        return errno;
    block->boardIndex = boardIndex;
    block->access = access;
    block->handle = fd;
    block->view = NULL;
    return 0;
}

// Touching a mapped page past the end of the object raises SIGBUS: a copy
// under way when it comes is abandoned, any other one ends the program as
// it would have.
static sigjmp_buf copyAbandoned;
static volatile sig_atomic_t copying;

static void OnBusError(int) {
    if (copying)
        siglongjmp(copyAbandoned, 1); // SIGBUS was not blocked (SA_NODEFER): the next comes too
    signal(SIGBUS, SIG_DFL);
    raise(SIGBUS); // delivered, as it would have been, once the handler returns
}

static int MapWholeRecord(int fd, StatisticsAccess access, const PrpValue **view) {
    // A block too short for the record is refused here, where it is first
    // met; one that shrinks later is caught at each copy.
    struct stat status;
    if (fstat(fd, &status) != 0)
        return errno;
    if (status.st_size < (off_t)sizeof(PrpValue))
        return EINVAL;
    int protection = access == kReadOnly ? PROT_READ : PROT_READ | PROT_WRITE;
    void *mapped = mmap(NULL, sizeof(PrpValue), protection, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED)
        return errno;
    *view = (const PrpValue *)mapped;
    return 0;
}

int MapStatisticsRecord(StatisticsBlock *block) {
    struct sigaction onBusError;
    memset(&onBusError, 0, sizeof onBusError);
    onBusError.sa_handler = OnBusError;
    // Not blocked while handled: left by a jump, the handler leaves the
    // mask as it was, so the jump need not restore it.
    onBusError.sa_flags = SA_NODEFER;
    sigaction(SIGBUS, &onBusError, NULL);
    return MapWholeRecord((int)block->handle, block->access, &block->view);
}

void CloseStatisticsBlock(StatisticsBlock *block) {
    if (block->view != NULL)
        munmap((void *)block->view, sizeof(PrpValue));
    close((int)block->handle);
}

// The publisher has removed the block: takes the one now under its name, if
// there is one with a whole record.
static bool FollowNewBlock(StatisticsBlock *block) {
    StatisticsBlock next;
    if (OpenStatisticsBlock(block->boardIndex, block->access, &next) != 0)
        return false;
    if (MapWholeRecord((int)next.handle, next.access, &next.view) != 0) {
        close((int)next.handle);
        return false;
    }
    CloseStatisticsBlock(block);
    *block = next;
    return true;
}

BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy) {
    struct stat status;
    if (fstat((int)block->handle, &status) != 0)
        return kBlockShort;
    if (status.st_nlink == 0) {
        if (!FollowNewBlock(block))
            return kBlockGone;
        if (fstat((int)block->handle, &status) != 0)
            return kBlockShort;
    }
    if (status.st_size < (off_t)sizeof(PrpValue))
        return kBlockShort;

    // The block may still shrink between the size just seen and the copy.
    // What the copy took is kept only once the copy is complete.
    static PrpValue taken;
    if (sigsetjmp(copyAbandoned, 0) != 0) { // no mask saved: a system call less a copy
        copying = 0;
        return kBlockShort;
    }
    copying = 1;
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    memcpy(&taken, block->view, sizeof taken);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    copying = 0;
    *copy = taken;
    return kBlockWhole;
}

// The blocks are the POSIX shared-memory objects, which Linux keeps as the
// files of /dev/shm.
int ListPublishedBoards(int32_t *boardIndices, int most) {
    DIR *folder = opendir("/dev/shm");
    if (folder == NULL)
        return 0;
    int found = 0;
    for (struct dirent *entry; (entry = readdir(folder)) != NULL;) {
        int32_t boardIndex;
        if (!BoardOfListedBlock(entry->d_name, &boardIndex))
            continue;
        // Kept in order, the lowest when there are more than most.
        int at = found < most ? found : most;
        found++;
        if (at == most && (most == 0 || boardIndices[most - 1] < boardIndex))
            continue;
        if (at == most)
            at--;
        for (; at > 0 && boardIndices[at - 1] > boardIndex; at--)
            boardIndices[at] = boardIndices[at - 1];
        boardIndices[at] = boardIndex;
    }
    closedir(folder);
    return found;
}
