// A board's statistics block, made as a publisher makes it.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "block_name.h"
#include "prp_value.h"

namespace test {

inline std::string BlockName(int32_t boardIndex) {
    char name[kStatisticsMapNameSize];
    StatisticsMapName(boardIndex, name);
    return name;
}

// A block made as a publisher makes it, removed at the end of the test.
class Block {
  public:
    explicit Block(int32_t boardIndex, size_t size = sizeof(PrpValue), mode_t mode = 0666)
        : name_(BlockName(boardIndex)), size_(size) {
        shm_unlink(name_.c_str());
        int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL, mode);
        EXPECT_GE(fd, 0) << name_;
        EXPECT_EQ(fchmod(fd, mode), 0);
        EXPECT_EQ(ftruncate(fd, (off_t)size), 0);
        view_ = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        EXPECT_NE(view_, MAP_FAILED);
        close(fd);
    }
    ~Block() {
        munmap(view_, size_);
        shm_unlink(name_.c_str());
    }
    PrpValue *Record() { return static_cast<PrpValue *>(view_); }
    // Shrinks or grows the block, as another user may; a record shorter
    // than it was must not be touched here until it grows again.
    void Resize(off_t size) { EXPECT_EQ(truncate(("/dev/shm" + name_).c_str(), size), 0); }

  private:
    std::string name_;
    size_t size_;
    void *view_;
};

} // namespace test
