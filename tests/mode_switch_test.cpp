// SelectHsrMode and SelectPrpMode end to end, beyond the table of cases: the
// mode a board keeps, and answers a million characters long.
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
