#include "statistics_block.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <string.h>
#include <sys/mman.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "block_name.h"

int OpenStatisticsBlock(int32_t boardIndex, StatisticsAccess access, StatisticsBlock *block) {
    char name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    // Close-on-exec and never through a link, as shm_open always is.
    int fd = shm_open(name, (access == kReadOnly ? O_RDONLY : O_RDWR) | O_NONBLOCK, 0);
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
    if (!S_ISREG(status.st_mode))
        return ENODEV; // as mmap says of a FIFO or a device
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

bool NoSuchBlock(int error) { return error == ENOENT; }
bool BlockTooShort(int error) { return error == EINVAL; }

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

BlockState LookAtStatisticsBlock(StatisticsBlock *block) {
    struct stat status;
    if (fstat((int)block->handle, &status) != 0)
        return kBlockShort;
    if (status.st_nlink == 0) {
        if (!FollowNewBlock(block))
            return kBlockGone;
        if (fstat((int)block->handle, &status) != 0)
            return kBlockShort;
    }
    return status.st_size < (off_t)sizeof(PrpValue) ? kBlockShort : kBlockWhole;
}

BlockState CopyStatisticsRecord(StatisticsBlock *block, PrpValue *copy) {
    BlockState state = LookAtStatisticsBlock(block);
    if (state != kBlockWhole)
        return state;
    // The block may still shrink between the size just seen and the copy.
    // What the copy took is kept only once the copy is complete.
    static PrpValue taken;
    bool changed;
    if (PeekStatisticsRecord(block, &taken, &changed) != kBlockWhole)
        return kBlockShort;
    *copy = taken;
    return kBlockWhole;
}

BlockState PeekStatisticsRecord(StatisticsBlock *block, PrpValue *copy, bool *changed) {
    if (sigsetjmp(copyAbandoned, 0) != 0) { // no mask saved: a system call less a read
        copying = 0;
        return kBlockShort;
    }
    copying = 1;
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    *changed = memcmp(copy, block->view, sizeof *copy) != 0;
    if (*changed)
        memcpy(copy, block->view, sizeof *copy);
    __atomic_signal_fence(__ATOMIC_SEQ_CST);
    copying = 0;
    // The bytes of a page past the end of a block cut short read as zeros:
    // a record that changed is the record only if the block is still whole
    // (one that did not is the last whole record).
    struct stat status;
    if (*changed &&
        (fstat((int)block->handle, &status) != 0 || status.st_size < (off_t)sizeof(PrpValue)))
        return kBlockShort;
    return kBlockWhole;
}

// The blocks are the POSIX shared-memory objects, which Linux keeps as the
// files of /dev/shm.
static const char kBlocks[] = "/dev/shm";
// The folder's modification time at the last listing.
static struct timespec listed;

static int Compare(const void *a, const void *b) {
    int32_t x = *(const int32_t *)a, y = *(const int32_t *)b;
    return (x > y) - (x < y);
}

int ListPublishedBoards(int32_t *boardIndices, int most) {
    struct stat status;
    if (stat(kBlocks, &status) == 0)
        listed = status.st_mtim;
    DIR *folder = opendir(kBlocks);
    if (folder == NULL)
        return 0;
    int found = 0;
    for (struct dirent *entry; (entry = readdir(folder)) != NULL;) {
        int32_t boardIndex;
        if (!BoardOfListedBlock(entry->d_name, &boardIndex))
            continue;
        // More than most: the highest kept so far makes room for a lower one.
        int at = found++;
        if (at >= most) {
            at = 0;
            for (int i = 1; i < most; i++)
                at = boardIndices[i] > boardIndices[at] ? i : at;
            if (most == 0 || boardIndices[at] < boardIndex)
                continue;
        }
        boardIndices[at] = boardIndex;
    }
    closedir(folder);
    qsort(boardIndices, (size_t)(found < most ? found : most), sizeof *boardIndices, Compare);
    return found;
}

// A block made or removed changes the folder's modification time; one made
// within the same tick of the clock as the listing may not change it again,
// so a folder changed in the last two seconds is listed again.
bool PublishedBoardsMayHaveChanged(void) {
    struct stat status;
    struct timespec now;
    if (stat(kBlocks, &status) != 0 || clock_gettime(CLOCK_REALTIME, &now) != 0)
        return true;
    return status.st_mtim.tv_sec != listed.tv_sec || status.st_mtim.tv_nsec != listed.tv_nsec ||
           now.tv_sec - status.st_mtim.tv_sec < 2;
}
