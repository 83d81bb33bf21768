// The shared rules of the suite, called directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "board.h"
#include "counter.h"
#include "prp_value.h"

namespace {

TEST(BoardAddress, LowEightBitsOfTheIndexPlus0x58) {
    const struct {
        int32_t boardIndex;
        uint8_t boardAddress;
    } cases[] = {{0, 0x58},    {1, 0x59},       {2, 0x5a},       {167, 0xff},
                 {168, 0x00},  {256, 0x58},     {-1, 0x57},      {-88, 0x00},
                 {INT32_MAX, 0x57}, {INT32_MIN, 0x58}};
    for (const auto &c : cases)
        EXPECT_EQ(BoardAddress(c.boardIndex), c.boardAddress) << c.boardIndex;
}

TEST(BoardIndexFromArgument, ConvertsLikeWtol) {
    const struct {
        const char *argument;
        int32_t boardIndex;
    } cases[] = {
        {"3", 3},           {"", 0},           {"abc", 0},          {"12abc", 12},
        {"  \t\n7", 7},     {"-1", -1},        {"+5", 5},           {"- 5", 0},
        {"+-5", 0},         {"0x10", 0},       {"007", 7},          {"1 2", 1},
        {"2147483647", INT32_MAX},             {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},            {"-2147483649", INT32_MIN},
        {"99999999999999999999999999", INT32_MAX},
        {"-99999999999999999999999999", INT32_MIN},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BoardIndexFromArgument(c.argument), c.boardIndex) << '"' << c.argument << '"';
}

// A stand-in for GetRxCounter: registers of one port, delivered
// most significant byte first, and every call noted.
std::vector<int> calls;
int Fake(uint8_t, uint8_t, int reg, uint16_t *word) {
    calls.push_back(reg);
    uint16_t value = reg == 0x140 ? 0x1234 : reg == 0x141 ? 0x0001 : 0xfedc;
    uint8_t bytes[2] = {(uint8_t)(value >> 8), (uint8_t)value};
    memcpy(word, bytes, 2);
    return 0;
}
int FillsNothing(uint8_t, uint8_t, int reg, uint16_t *) {
    calls.push_back(reg);
    return -1;
}

TEST(ReadCounter32, LowHalfFirstEachHalfFromBigEndian) {
    calls.clear();
    EXPECT_EQ(ReadCounter32(Fake, 0x58, 2, 0x140), 0x00011234u);
    EXPECT_EQ(calls, (std::vector<int>{0x140, 0x141}));
    calls.clear();
    EXPECT_EQ(ReadCounter32(Fake, 0x58, 2, 0x100), 0xfedcfedcu);
    EXPECT_EQ(calls, (std::vector<int>{0x100, 0x101}));
}

TEST(ReadCounter32, WordStartsAtZeroAndResultsAreIgnored) {
    calls.clear();
    EXPECT_EQ(ReadCounter32(FillsNothing, 0x58, 2, 0x112), 0u);
    EXPECT_EQ(calls, (std::vector<int>{0x112, 0x113}));
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
