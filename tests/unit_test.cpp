// The shared rules of the suite, called directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board.h"
#include "counter.h"
#include "prp_value.h"

namespace {

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

} // namespace
