// SelectHsrMode and SelectPrpMode end to end: what they print, their status,
// and the calls the simulated board saw.
#include <cstdint>
#include <string>
#include <vector>

#include "board_fixture.h"

namespace test {
namespace {

std::vector<std::string> HsrCalls(const char *address) {
    std::string a = address;
    return {"SelectHsrMode(" + a + ")", "SetLinkSpeedMode(" + a + ")",
            "ConfigureGpioMode(" + a + ", 1)", "SetLedValue(" + a + ", 1)"};
}

std::vector<std::string> PrpCalls(const char *address) {
    std::string a = address;
    return {"SelectPrpMode(" + a + ")", "SetLinkSpeedMode(" + a + ")",
            "ConfigureGpioMode(" + a + ", 0)", "SetLedValue(" + a + ", 0)"};
}

struct SwitchCase {
    const char *what;
    std::vector<std::string> arguments;
    std::string input;
    std::string output;
    const char *address;
};

void PrintTo(const SwitchCase &c, std::ostream *out) { *out << c.what; }

class ModeSwitch : public BoardTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(ModeSwitch, SelectHsrModeMakesTheFourCallsInOrder) {
    const SwitchCase &c = GetParam();
    Outcome outcome = Tool("SelectHsrMode", c.arguments, c.input);
    EXPECT_EQ(outcome.output, c.output);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Journal(), HsrCalls(c.address));
}

TEST_P(ModeSwitch, SelectPrpModeMakesTheFourCallsInOrder) {
    const SwitchCase &c = GetParam();
    Outcome outcome = Tool("SelectPrpMode", c.arguments, c.input);
    EXPECT_EQ(outcome.output, c.output);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Journal(), PrpCalls(c.address));
}

INSTANTIATE_TEST_SUITE_P(
    BoardIndex, ModeSwitch,
    ::testing::Values(
        // From the command line: nothing is asked or printed.
        SwitchCase{"argument", {"2"}, "", "", "0x5a"},
        SwitchCase{"argument3", {"3"}, "", "", "0x5b"},
        SwitchCase{"notANumber", {"abc"}, "", "", "0x58"},
        SwitchCase{"leadingBlanksAndSign", {" \t-1"}, "", "", "0x57"},
        SwitchCase{"plusSign", {"+168"}, "", "", "0x00"},
        SwitchCase{"digitsThenText", {"12abc"}, "", "", "0x64"},
        SwitchCase{"clampedHigh", {"99999999999"}, "", "", "0x57"}, // 2147483647
        SwitchCase{"clampedLow", {"-99999999999"}, "", "", "0x58"}, // -2147483648
        SwitchCase{"furtherArgumentsIgnored", {"4", "9"}, "7\n", "", "0x5c"},
        SwitchCase{"inputIgnoredWithArgument", {"1"}, "5\n", "", "0x59"},
        // At the prompt.
        SwitchCase{"typed", {}, "1\n", kAsk, "0x59"},
        SwitchCase{"typed168", {}, "168\n", kAsk, "0x00"},
        SwitchCase{"typedMinus1", {}, "-1\n", kAsk, "0x57"},
        SwitchCase{"typed256", {}, "256\n", kAsk, "0x58"},
        SwitchCase{"notTyped", {}, "x\n", kAsk, "0x58"},
        SwitchCase{"endOfInput", {}, "", kAsk, "0x58"},
        SwitchCase{"emptyLinesSkipped", {}, "\n\n   \t\n 7 9\n", kAsk, "0x5f"},
        SwitchCase{"noLineEnd", {}, "3", kAsk, "0x5b"},
        SwitchCase{"signAlone", {}, "- 5\n", kAsk, "0x58"},
        SwitchCase{"beyond32BitsKeepsLow32", {}, "4294967297\n", kAsk, "0x59"},
        SwitchCase{"beyond32BitsNegative", {}, "-4294967295\n", kAsk, "0x59"}),
    [](const ::testing::TestParamInfo<SwitchCase> &info) { return std::string(info.param.what); });

TEST_F(BoardTest, SwitchedBoardKeepsItsMode) {
    ASSERT_EQ(Tool("SelectHsrMode", {"2"}, "").status, 0);
    EXPECT_EQ(Simulator({"show", "0x5a"}),
              "gpio-mode 0x1\nled 0x1\nlink-speed-mode set\nmode HSR\n");
    ASSERT_EQ(Tool("SelectPrpMode", {}, "1\n").status, 0);
    EXPECT_EQ(Simulator({"show", "0x59"}),
              "gpio-mode 0x0\nled 0x0\nlink-speed-mode set\nmode PRP\n");
    ASSERT_EQ(Tool("SelectPrpMode", {"2"}, "").status, 0);
    EXPECT_EQ(Simulator({"show", "0x5a"}),
              "gpio-mode 0x0\nled 0x0\nlink-speed-mode set\nmode PRP\n");
}

// A line of a million digits, or of a million blanks, is read like a short
// one: the number keeps its low 32 bits.
TEST_F(BoardTest, MillionCharacterLines) {
    uint32_t sevens = 0;
    for (int i = 0; i < 1000000; i++)
        sevens = sevens * 10 + 7;
    char address[8];
    snprintf(address, sizeof address, "0x%02x", (uint8_t)(sevens + 0x58));

    EXPECT_EQ(Tool("SelectHsrMode", {}, std::string(1000000, '7') + "\n").output, kAsk);
    EXPECT_EQ(Tool("SelectHsrMode", {}, std::string(1000000, ' ') + "3\n").output, kAsk);
    std::vector<std::string> expected = HsrCalls(address);
    for (const std::string &call : HsrCalls("0x5b"))
        expected.push_back(call);
    EXPECT_EQ(Journal(), expected);
}

} // namespace
} // namespace test
