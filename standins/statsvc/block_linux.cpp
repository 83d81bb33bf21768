#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "block.h"

namespace {

// The object under the name now, or nothing (device and inode 0).
struct stat UnderTheName(const char *name) {
    struct stat status = {};
    int fd = shm_open(name, O_RDONLY, 0);
    if (fd >= 0) {
        if (fstat(fd, &status) != 0)
            status = {};
        close(fd);
    }
    return status;
}

bool Same(const struct stat &a, const struct stat &b) {
    return a.st_ino != 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string UserName(uid_t uid) {
    const struct passwd *user = getpwuid(uid);
    return user != nullptr ? user->pw_name : "with id " + std::to_string(uid);
}

BlockOutcome Refuse(const char *name, const std::string &problem, std::string *why,
                    BlockOutcome outcome = kBlockRefused) {
    *why = std::string(name) + ": " + problem;
    return outcome;
}

const int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM};

} // namespace

bool RoomForBlocks(size_t count, std::string *why) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return true;
    // A descriptor for each block, and one more for a moment while a block
    // is made or written (the look at what is under its name).
    size_t free = 0;
    for (rlim_t fd = 0; fd < limit.rlim_cur && free <= count; fd++)
        if (fcntl((int)fd, F_GETFD) == -1 && errno == EBADF)
            free++;
    if (free > count)
        return true;
    *why = "can hold " + std::to_string(free > 0 ? free - 1 : 0) + " boards, not " +
           std::to_string(count) + ": each keeps a descriptor open, and it may open " +
           std::to_string(limit.rlim_cur) + " (ulimit -n)";
    return false;
}

BlockOutcome OpenBlock(int32_t boardIndex, Block *block, std::string *why) {
    block->boardIndex = boardIndex;
    block->fd = -1;
    StatisticsMapName(boardIndex, block->name);
    const char *name = block->name;
    // A service that is stopping removes its block while it holds the lock,
    // so the block locked may no longer be the one under the name: then
    // begin again with the block under the name now.
    for (int attempt = 0; attempt < 10; attempt++) {
        int fd = shm_open(name, O_RDWR | O_CREAT, 0666);
        if (fd < 0)
            return Refuse(name, strerror(errno), why);
        struct stat status;
        if (fstat(fd, &status) != 0) {
            close(fd);
            return Refuse(name, strerror(errno), why);
        }
        if (status.st_uid != geteuid()) {
            close(fd);
            return Refuse(name, "belongs to user " + UserName(status.st_uid) + "; not taken over",
                          why);
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int error = errno;
            close(fd); // the other service's block stays as it is
            if (error == EWOULDBLOCK)
                return Refuse(name,
                              "board " + std::to_string(boardIndex) +
                                  " is published by another service",
                              why, kBlockHeld);
            return Refuse(name, strerror(error), why);
        }
        if (!Same(UnderTheName(name), status)) {
            close(fd);
            continue;
        }
        // Open to all whatever the umask: the monitors open it read-write.
        if (fchmod(fd, 0666) != 0 || ftruncate(fd, sizeof(PrpValue)) != 0) {
            int error = errno;
            shm_unlink(name);
            close(fd);
            return Refuse(name, strerror(error), why);
        }
        block->fd = fd;
        block->device = status.st_dev;
        block->inode = status.st_ino;
        return kBlockOpened;
    }
    return Refuse(name, "removed again and again while being taken", why);
}

// Written with pwrite, never through a mapping: a block truncated under the
// service cannot kill it, and the write makes the block whole again.
bool WriteBlock(Block *block, const PrpValue &record, std::string *why) {
    struct stat ours = {};
    ours.st_dev = block->device;
    ours.st_ino = block->inode;
    if (block->fd < 0 || !Same(UnderTheName(block->name), ours)) {
        if (block->fd >= 0)
            close(block->fd);
        if (OpenBlock(block->boardIndex, block, why) != kBlockOpened)
            return false;
    }
    errno = 0;
    if (pwrite(block->fd, &record, sizeof record, 0) != (ssize_t)sizeof record ||
        ftruncate(block->fd, sizeof record) != 0) {
        Refuse(block->name, strerror(errno != 0 ? errno : ENOSPC), why);
        return false;
    }
    return true;
}

void RemoveBlock(Block *block) {
    if (block->fd < 0)
        return;
    struct stat ours = {};
    ours.st_dev = block->device;
    ours.st_ino = block->inode;
    if (Same(UnderTheName(block->name), ours))
        shm_unlink(block->name);
    close(block->fd); // and with it the lock, once the name is gone
    block->fd = -1;
}

void CatchEndingSignals(void (*stop)(int)) {
    struct sigaction action = {};
    action.sa_handler = stop;
    sigemptyset(&action.sa_mask);
    for (int signal : kEndingSignals)
        sigaction(signal, &action, nullptr);
    action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &action, nullptr);
}

void StartReading(void (*read)()) {
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int signal : kEndingSignals)
        sigaddset(&ending, signal);
    pthread_sigmask(SIG_BLOCK, &ending, &before); // the new thread starts with this mask
    std::thread(read).detach();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}
