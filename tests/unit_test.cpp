// The shared rules of the suite, called directly.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "board.h"
#include "counter.h"
#include "block_name.h"
#include "file_name.h"
#include "prp_value.h"
#include "statistics_block.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// A name on a terminal: no control character reaches it, any letter does.
TEST(EscapeControls, EveryControlCharacterAndNothingElse) {
    const struct {
        const char *text, *shown;
        size_t size;
    } cases[] = {
        {"a\x1b[2J\n\x7f", "a\\033[2J\\012\\177", 64},
        {u8"\u009b31m \u00a0\u00db", u8"\\302\\23331m \u00a0\u00db", 64}, // C1 CSI; not C1
        {u8"C:\\Ελληνικά\\Łódź.prom", u8"C:\\Ελληνικά\\Łódź.prom", 64},
        {"ab\x1b", "ab", 6}, // whole escapes only
    };
    for (const auto &c : cases) {
        char shown[64];
        EscapeControls(c.text, shown, c.size);
        EXPECT_STREQ(shown, c.shown);
    }
}

// Beside the file, never ending as it does, never over 255 bytes, a UTF-8
// character whole.
TEST(TemporaryFileName, BesideTheFileWithinAName) {
    const std::string longest = std::string(250, 'b') + ".prom";
    const std::string cut = std::string(236, 'b') + u8"Ł"; // its second byte the 238th
    const struct {
        std::string path;
        const char *separators;
        std::string name;
    } cases[] = {
        {"/run/x/prp-hsr.prom", "/", "/run/x/.prp-hsr.prom.0123456789abcdef"},
        {"prp-hsr.prom", "/", ".prp-hsr.prom.0123456789abcdef"},
        {u8"C:\\Ελ/a\\b.prom", "\\/:", u8"C:\\Ελ/a\\.b.prom.0123456789abcdef"},
        {"C:b.prom", "\\/:", "C:.b.prom.0123456789abcdef"},
        {"/d/" + longest, "/", "/d/." + longest.substr(0, 237) + ".0123456789abcdef"},
        {"/d/" + cut + ".prom", "/", "/d/." + std::string(236, 'b') + ".0123456789abcdef"},
    };
    for (const auto &c : cases) {
        char name[600];
        ASSERT_TRUE(TemporaryFileName(c.path.c_str(), c.separators, 0x0123456789abcdefull, name,
                                      sizeof name));
        EXPECT_EQ(name, c.name);
    }
    char small[20];
    EXPECT_FALSE(TemporaryFileName("/run/x/prp-hsr.prom", "/", 0, small, sizeof small));
}

TEST(BoardIndexFromArgument, ConvertsLikeWtol) {
    const struct {
        const char *argument;
        int32_t boardIndex;
    } cases[] = {
        // clang-format off
        {"3", 3},       {"", 0},       {"abc", 0},     {"12abc", 12},  {"  \t\n7", 7},
        {"-1", -1},     {"+5", 5},     {"- 5", 0},     {"+-5", 0},     {"0x10", 0},
        {"007", 7},     {"1 2", 1},
        {"2147483647", INT32_MAX},  {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN},
        {"99999999999999999999999999", INT32_MAX}, {"-99999999999999999999999999", INT32_MIN},
        // clang-format on
    };
    for (const auto &c : cases)
        EXPECT_EQ(BoardIndexFromArgument(c.argument), c.boardIndex) << '"' << c.argument << '"';
}

// A library that fills nothing in: the word starts at 0, and the results
// of the reads are not looked at.
std::vector<int> reads;
int FillsNothing(uint8_t, uint8_t, int reg, uint16_t *) {
    reads.push_back(reg);
    return -1;
}

TEST(ReadCounter32, WordStartsAtZeroAndResultsAreIgnored) {
    EXPECT_EQ(ReadCounter32(FillsNothing, 0x58, 2, 0x112), 0u);
    EXPECT_EQ(reads, (std::vector<int>{0x112, 0x113}));
}

#ifdef _WIN32
#define BLOCK_NAME(number) L"Global\\QvPrpFileMapObject" number
#else
#define BLOCK_NAME(number) "/QvPrpFileMapObject" number
#endif

// Only the very name a publisher makes is a board's block.
TEST(BoardOfListedBlock, OnlyTheNameAPublisherMakes) {
    const struct {
        const char *name;
        bool block;
        int32_t boardIndex;
    } cases[] = {
        {"QvPrpFileMapObject0", true, 0},     {"QvPrpFileMapObject-7", true, -7},
        {"QvPrpFileMapObject-2147483648", true, INT32_MIN},
        {"QvPrpFileMapObject-0", false, 0},   {"QvPrpFileMapObject007", false, 0},
        {"QvPrpFileMapObject-07", false, 0},  {"QvPrpFileMapObject12x", false, 0},
        {"QvPrpFileMapObject", false, 0},     {"QvPrpFileMapObject2147483648", false, 0},
        {"QvPrpFileMapObject+1", false, 0},   {"qvPrpFileMapObject1", false, 0},
    };
    for (const auto &c : cases) {
        int32_t boardIndex = 0;
        EXPECT_EQ(BoardOfListedBlock(c.name, &boardIndex), c.block) << c.name;
        EXPECT_EQ(boardIndex, c.boardIndex) << c.name;
    }
}

TEST(StatisticsMapName, WholeSignedBoardIndex) {
    const struct {
        int32_t boardIndex;
        const StatisticsNameChar *name;
    } cases[] = {{0, BLOCK_NAME("0")},
                 {12, BLOCK_NAME("12")},
                 {-3, BLOCK_NAME("-3")},
                 {256, BLOCK_NAME("256")},
                 {INT32_MAX, BLOCK_NAME("2147483647")},
                 {INT32_MIN, BLOCK_NAME("-2147483648")}};
    for (const auto &c : cases) {
        StatisticsNameChar name[kStatisticsMapNameSize];
        StatisticsMapName(c.boardIndex, name);
        EXPECT_EQ(std::basic_string<StatisticsNameChar>(name), c.name) << c.boardIndex;
    }
}

#ifndef _WIN32
// A block cut short and grown again while it is copied, over and over: the
// size seen before a copy may be gone during it, and no copy may end the
// program for it.
TEST(CopyStatisticsRecord, BlockShrinkingDuringTheCopyEndsNothing) {
    const int32_t board = 424245;
    StatisticsNameChar name[kStatisticsMapNameSize];
    StatisticsMapName(board, name);
    int fd = shm_open(name, O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, sizeof(PrpValue)), 0);
    StatisticsBlock block;
    ASSERT_EQ(OpenStatisticsBlock(board, kAllAccess, &block), 0);
    ASSERT_EQ(MapStatisticsRecord(&block), 0);

    std::atomic<bool> done{false};
    std::thread publisher([&] {
        while (!done)
            if (ftruncate(fd, 0) != 0 || ftruncate(fd, sizeof(PrpValue)) != 0)
                break;
    });
    int counts[3] = {};
    PrpValue copy;
    for (int i = 0; i < 200000; i++)
        counts[CopyStatisticsRecord(&block, &copy)]++;
    done = true;
    publisher.join();
    EXPECT_GT(counts[kBlockWhole], 0);
    EXPECT_GT(counts[kBlockShort], 0);
    EXPECT_EQ(counts[kBlockGone], 0);
    CloseStatisticsBlock(&block);
    close(fd);
    shm_unlink(name);
}

// A block cut short within its page reads as zeros past its end, with no
// signal: such a read is short, never a record of zeros, whether the
// reader looks at the block first or only reads.
TEST(PeekStatisticsRecord, ABlockCutWithinItsPageIsShort) {
    const int32_t board = 424244;
    StatisticsNameChar name[kStatisticsMapNameSize];
    StatisticsMapName(board, name);
    int fd = shm_open(name, O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    PrpValue record = {};
    record.linkStatusA = record.linkStatusB = 1; // past 100 bytes: zeros once cut there
    ASSERT_EQ(write(fd, &record, sizeof record), (ssize_t)sizeof record);
    StatisticsBlock block;
    ASSERT_EQ(OpenStatisticsBlock(board, kReadOnly, &block), 0);
    ASSERT_EQ(MapStatisticsRecord(&block), 0);
    PrpValue copy = {};
    bool changed;
    EXPECT_EQ(PeekStatisticsRecord(&block, &copy, &changed), kBlockWhole);
    ASSERT_EQ(ftruncate(fd, 100), 0);
    EXPECT_EQ(PeekStatisticsRecord(&block, &copy, &changed), kBlockShort);
    EXPECT_EQ(CopyStatisticsRecord(&block, &copy), kBlockShort);
    ASSERT_EQ(ftruncate(fd, sizeof(PrpValue)), 0);
    EXPECT_EQ(PeekStatisticsRecord(&block, &copy, &changed), kBlockWhole);
    CloseStatisticsBlock(&block);
    close(fd);
    shm_unlink(name);
}
#endif

} // namespace
