// ShowRxCounter, ShowTxCounter and ShowLinkStatus end to end against the
// simulated board: exact output, and the registers and LANs they read.
#include <string>
#include <vector>

#include "board_fixture.h"

namespace test {
namespace {

std::string RxDialogue(int portSel, const std::string &rxCounter) {
    return kAsk + kPortPrompt + "\nportSel = " + std::to_string(portSel) + "\n" + kMenu +
           "rxCounter = " + rxCounter + "\n";
}

class CounterTest : public BoardTest {
  protected:
    // Each counter of port 2 of board 1 (0x59) with a value of its own.
    void SetUp() override {
        Simulator({"set-counter", "0x59", "2", "0x100", "0x11110000"});
        Simulator({"set-counter", "0x59", "2", "0x112", "0x00011234"});
        Simulator({"set-counter", "0x59", "2", "0x124", "0x22220001"});
        Simulator({"set-counter", "0x59", "2", "0x126", "0xfffffffe"});
        Simulator({"set-counter", "0x58", "0", "0x100", "0x58"});
    }
};

struct RxCase {
    const char *what;
    std::string input;
    int portSel;       // echoed
    std::string value; // printed
    std::vector<std::string> reads;
};

void PrintTo(const RxCase &c, std::ostream *out) { *out << c.what; }

class RxCounter : public CounterTest, public ::testing::WithParamInterface<RxCase> {};

TEST_P(RxCounter, ReadsTheChosenCounterLowHalfFirst) {
    const RxCase &c = GetParam();
    Outcome outcome = Tool("ShowRxCounter", {"ignored"}, c.input);
    EXPECT_EQ(outcome.output, RxDialogue(c.portSel, c.value));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Journal(), c.reads);
}

INSTANTIATE_TEST_SUITE_P(
    Selection, RxCounter,
    ::testing::Values(RxCase{"goodOctets",
                             "1\n2\n0\n",
                             2,
                             "0x11110000",
                             {"GetRxCounter(0x59, 2, 0x100)", "GetRxCounter(0x59, 2, 0x101)"}},
                      RxCase{"errors",
                             "1\n2\n1\n",
                             2,
                             "0x11234",
                             {"GetRxCounter(0x59, 2, 0x112)", "GetRxCounter(0x59, 2, 0x113)"}},
                      RxCase{"wrongLan",
                             "1\n2\n2\n",
                             2,
                             "0x22220001",
                             {"GetRxCounter(0x59, 2, 0x124)", "GetRxCounter(0x59, 2, 0x125)"}},
                      RxCase{"duplicates",
                             "1\n2\n3\n",
                             2,
                             "0xfffffffe",
                             {"GetRxCounter(0x59, 2, 0x126)", "GetRxCounter(0x59, 2, 0x127)"}},
                      // Off the menu: nothing is read.
                      RxCase{"selection4", "1\n2\n4\n", 2, "0x0", {}},
                      RxCase{"selection9", "1\n2\n9\n", 2, "0x0", {}},
                      RxCase{"selection255", "1\n2\n255\n", 2, "0x0", {}},
                      RxCase{"selectionMinus1", "1\n2\n-1\n", 2, "0x0", {}},
                      // Only the low 8 bits of a selection count.
                      RxCase{"selection256",
                             "1\n2\n256\n",
                             2,
                             "0x11110000",
                             {"GetRxCounter(0x59, 2, 0x100)", "GetRxCounter(0x59, 2, 0x101)"}},
                      RxCase{"port258",
                             "1\n258\n1\n",
                             2,
                             "0x11234",
                             {"GetRxCounter(0x59, 2, 0x112)", "GetRxCounter(0x59, 2, 0x113)"}},
                      RxCase{"portMinus1",
                             "1\n-1\n1\n",
                             255,
                             "0x0",
                             {"GetRxCounter(0x59, 255, 0x112)", "GetRxCounter(0x59, 255, 0x113)"}},
                      // One line can answer two prompts.
                      RxCase{"portAndSelectionOnOneLine",
                             "1\n2 1\n",
                             2,
                             "0x11234",
                             {"GetRxCounter(0x59, 2, 0x112)", "GetRxCounter(0x59, 2, 0x113)"}},
                      RxCase{"allOnOneLine",
                             "1 2 3",
                             2,
                             "0xfffffffe",
                             {"GetRxCounter(0x59, 2, 0x126)", "GetRxCounter(0x59, 2, 0x127)"}},
                      // Input that is no number gives 0 there and at every later prompt.
                      RxCase{"boardNotANumber",
                             "x\n1\n2\n",
                             0,
                             "0x58",
                             {"GetRxCounter(0x58, 0, 0x100)", "GetRxCounter(0x58, 0, 0x101)"}},
                      RxCase{"portNotANumber",
                             "1\nport2\n1\n",
                             0,
                             "0x0",
                             {"GetRxCounter(0x59, 0, 0x100)", "GetRxCounter(0x59, 0, 0x101)"}},
                      RxCase{"selectionNotANumber",
                             "1\n2\none\n",
                             2,
                             "0x11110000",
                             {"GetRxCounter(0x59, 2, 0x100)", "GetRxCounter(0x59, 2, 0x101)"}},
                      RxCase{"digitsThenText",
                             "1\n2x\n3\n",
                             2,
                             "0x11110000",
                             {"GetRxCounter(0x59, 2, 0x100)", "GetRxCounter(0x59, 2, 0x101)"}},
                      RxCase{"endOfInput",
                             "1\n2\n",
                             2,
                             "0x11110000",
                             {"GetRxCounter(0x59, 2, 0x100)", "GetRxCounter(0x59, 2, 0x101)"}}),
    [](const ::testing::TestParamInfo<RxCase> &info) { return std::string(info.param.what); });

struct TxCase {
    const char *what;
    const char *low;
    const char *high;
    std::string printed;
};

void PrintTo(const TxCase &c, std::ostream *out) { *out << c.what; }

class TxCounter : public BoardTest, public ::testing::WithParamInterface<TxCase> {};

// The transmit counter prints as the unsigned 32-bit count it is.
TEST_P(TxCounter, AssemblesAndPrintsTheWholeRange) {
    const TxCase &c = GetParam();
    Simulator({"set-register", "0x5b", "4", "0x140", c.low});
    Simulator({"set-register", "0x5b", "4", "0x141", c.high});
    Outcome outcome = Tool("ShowTxCounter", {}, "3\n4\n");
    EXPECT_EQ(outcome.output, kAsk + kPortPrompt + "txCount = " + c.printed + "\n");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Journal(), (std::vector<std::string>{"GetTxCounter(0x5b, 4, 0x140)",
                                                   "GetTxCounter(0x5b, 4, 0x141)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Value, TxCounter,
    ::testing::Values(TxCase{"zero", "0", "0", "0"},
                      TxCase{"halvesInPlace", "0x1234", "0x0001", "70196"},
                      TxCase{"lowHalfOnly", "0xffff", "0", "65535"},
                      TxCase{"largestSigned", "0xffff", "0x7fff", "2147483647"},
                      TxCase{"twoToThe31", "0", "0x8000", "2147483648"},
                      TxCase{"largest", "0xffff", "0xffff", "4294967295"}),
    [](const ::testing::TestParamInfo<TxCase> &info) { return std::string(info.param.what); });

TEST_F(BoardTest, TxCounterWithBadInputReadsPortZero) {
    Outcome outcome = Tool("ShowTxCounter", {}, "2\n?\n");
    EXPECT_EQ(outcome.output, kAsk + kPortPrompt + "txCount = 0\n");
    EXPECT_EQ(Journal(), (std::vector<std::string>{"GetTxCounter(0x5a, 0, 0x140)",
                                                   "GetTxCounter(0x5a, 0, 0x141)"}));
}

TEST_F(BoardTest, LinkStatusOfLanAThenLanB) {
    Simulator({"set-link-status", "0x59", "4", "0x2d"});
    Simulator({"set-link-status", "0x59", "6", "0"});
    Simulator({"set-link-status", "0x58", "4", "0xffffffff"});
    Outcome outcome = Tool("ShowLinkStatus", {}, "1\n");
    EXPECT_EQ(outcome.output, kAsk + LinkStatusLines("0x2d", "0x0"));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Tool("ShowLinkStatus", {}, "x\n").output,
              kAsk + LinkStatusLines("0xffffffff", "0x0"));
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{"GetLinkStatus(0x59, 4)", "GetLinkStatus(0x59, 6)",
                                        "GetLinkStatus(0x58, 4)", "GetLinkStatus(0x58, 6)"}));
}

} // namespace
} // namespace test
