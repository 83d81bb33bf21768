// check_prp_hsr's answer and thresholds, called directly: what a look at
// the stand-in service cannot show (a block short or unreadable, rates not
// known, the edge of what is compared, a sign), and each form of range at
// its edges.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answer.h"
#include "command_line.h"
#include "parse_words.h"

namespace {

// A board as the look leaves it; what is not given is as a live board's
// with both links up, no traffic, no errors.
struct Given {
    BoardState state = kBoardLive;
    bool ratesKnown = true;
    uint64_t rx[kLans] = {0, 0}, tx[kLans] = {0, 0}, errors[kLans] = {0, 0};
    uint8_t link[kLans] = {1, 1};
    uint32_t losses[kLans] = {0, 0};
};

struct Case {
    const char *name;
    std::vector<std::string> arguments;
    std::vector<Given> boards; // boards 7, 8...
    std::string answer;
    PluginState state;
};

std::string Answer(const Case &c, PluginState *state) {
    CheckOptions options;
    std::vector<std::string> arguments = c.arguments;
    EXPECT_EQ(ParseWords(&arguments, &options), -1);
    static Watch watch;
    watch.count = (int)c.boards.size();
    watch.roundMs = 12000; // a stale board's record unchanged since 0 ms
    for (int i = 0; i < watch.count; i++) {
        const Given &b = c.boards[(size_t)i];
        Board *board = &watch.boards[i];
        watch.order[i] = i;
        StartBoard(board, 7 + i, 1000000000);
        board->state = b.state;
        board->sampled = b.state == kBoardLive || b.state == kBoardStale;
        board->ratesKnown = b.ratesKnown && b.state == kBoardLive; // as a round leaves it
        for (int lan = 0; lan < kLans; lan++) {
            board->lan[lan].perSecond[kRxOctets] = b.rx[lan];
            board->lan[lan].perSecond[kTxOctets] = b.tx[lan];
            board->lan[lan].perSecond[kRxErrors] = b.errors[lan];
            board->lan[lan].linkStatus = b.link[lan];
            board->lan[lan].linkLosses = b.losses[lan];
        }
        DecideVerdict(board, &options.settings);
    }
    Text text = GrowingText();
    *state = AppendAnswer(&text, &watch, &options);
    std::string answer(text.chars, text.length);
    free(text.chars);
    return answer;
}

const std::string kNoLosses = " 'board7_link_lossesA'=0;;;0 'board7_link_lossesB'=0;;;0";
const std::string kQuiet = " 'board7_rxA'=0;;;0;125000000 'board7_rxB'=0;;;0;125000000"
                           " 'board7_txA'=0;;;0;125000000 'board7_txB'=0;;;0;125000000";
const std::string kNoErrors = " 'board7_errorsA'=0;0;;0 'board7_errorsB'=0;0;;0";

Given Apart(uint64_t a, uint64_t b) {
    Given board;
    board.rx[kLanA] = a;
    board.rx[kLanB] = b;
    return board;
}

const Case kCases[] = {
    // A block there but short, or one that may not be read: no datum, no bar.
    {"short", {}, {{kBoardShort}}, "PRP-HSR WARNING - board 7 short\n", kPluginWarning},
    {"unreadable", {}, {{kBoardUnreadable}}, "PRP-HSR CRITICAL - board 7 unreadable\n", kPluginCritical},
    // A live board whose rates one look could not take: UNKNOWN, its rates
    // left out, never 0; the warning of another board is worse.
    {"rates-unknown",
     {},
     {{kBoardLive, false}},
     "PRP-HSR UNKNOWN - board 7 rates unknown |" + kNoLosses + "\n",
     kPluginUnknown},
    {"warning-before-unknown",
     {},
     {{kBoardLive, false}, {kBoardShort}},
     "PRP-HSR WARNING - board 8 short, board 7 rates unknown |" + kNoLosses + "\n",
     kPluginWarning},
    // Compared only above 1000 bytes a second, and only with both links up;
    // the sign in the line, the size in the datum.
    {"1000-not-compared", {}, {Apart(1000, 0)}, "*", kPluginOk},
    {"1001-compared", {}, {Apart(1001, 0)}, "PRP-HSR WARNING - board 7 rx +100.0% *", kPluginWarning},
    {"lanb-busier",
     {"-c", "15"},
     {Apart(100000, 125000)},
     "PRP-HSR CRITICAL - board 7 rx -20.0% | 'board7_rxA'=100000;;;0;125000000 "
     "'board7_rxB'=125000;;;0;125000000 'board7_txA'=0;;;0;125000000 "
     "'board7_txB'=0;;;0;125000000 'board7_rx_divergence'=20.0%;5;15;0;100" +
         kNoErrors + kNoLosses + "\n",
     kPluginCritical},
    {"link-down-not-compared",
     {},
     {[] {
         Given board = Apart(125000, 0);
         board.link[kLanB] = 0;
         board.losses[kLanB] = 2;
         return board;
     }()},
     "PRP-HSR CRITICAL - board 7 LanB down | 'board7_rxA'=125000;;;0;125000000 "
     "'board7_rxB'=0;;;0;125000000 'board7_txA'=0;;;0;125000000 'board7_txB'=0;;;0;125000000" +
         kNoErrors + " 'board7_link_lossesA'=0;;;0 'board7_link_lossesB'=2;;;0\n",
     kPluginCritical},
    // A stale board's links are its last publication's; it has no rates.
    {"stale-link-down",
     {},
     {[] {
         Given board;
         board.state = kBoardStale;
         board.ratesKnown = false;
         board.link[kLanA] = 0;
         return board;
     }()},
     "PRP-HSR CRITICAL - board 7 LanA down, board 7 stale 12s |" + kNoLosses + "\n",
     kPluginCritical},
    {"quiet", {}, {Given()}, "PRP-HSR OK - 1 board |" + kQuiet + kNoErrors + kNoLosses + "\n", kPluginOk},
};

void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }

class Answers : public ::testing::TestWithParam<Case> {};

TEST_P(Answers, AsWritten) {
    const Case &c = GetParam();
    PluginState state;
    std::string answer = Answer(c, &state);
    EXPECT_EQ(state, c.state);
    if (c.answer == "*")
        EXPECT_EQ(answer.find("divergence"), std::string::npos) << answer;
    else if (c.answer.back() == '*')
        EXPECT_EQ(answer.substr(0, c.answer.size() - 1), c.answer.substr(0, c.answer.size() - 1));
    else
        EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(Table, Answers, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 c = isalnum((unsigned char)c) ? c : '_';
                             return name;
                         });

// Each form of range at its edges, as Monitoring::Plugin::Range reads and
// applies it (the end-to-end cases ask Perl's own on a few).
struct RangeCase {
    const char *text;
    bool parses;
    std::vector<std::pair<double, bool>> alerts; // value, whether it alerts
};

const RangeCase kRanges[] = {
    {"10", true, {{0, false}, {10, false}, {10.1, true}}},
    {"10:", true, {{9.9, true}, {10, false}, {100, false}}},
    {"~:10", true, {{0, false}, {10, false}, {10.1, true}}},
    {"10:20", true, {{9.9, true}, {10, false}, {20, false}, {20.1, true}}},
    {"@10:20", true, {{9.9, false}, {10, true}, {20, true}, {20.1, false}}},
    {":10", true, {{0, false}, {10.1, true}}},
    {"~:", true, {{0, false}, {100, false}}},
    {"@~:", true, {{0, true}}},
    {"5:5", true, {{5, false}, {5.1, true}}},
    {".5", true, {{0.5, false}, {0.6, true}}},
    {"+5.", true, {{5, false}, {5.1, true}}},
    {"0.1", true, {{0.1, false}, {0.2, true}}}, // the double nearest, as read from "0.1"
    {"100", true, {}},
    {"100.01", false, {}},
    {"20:10", false, {}},
    {"", false, {}},
    {"@", false, {}},
    {":", false, {}},
    {"~", false, {}},
    {"~10", false, {}},
    {"-1", false, {}},
    {"1.2.3", false, {}},
    {"1:2:3", false, {}},
};

TEST(Ranges, AsMonitoringPluginTakesThem) {
    for (const RangeCase &c : kRanges) {
        Range range;
        EXPECT_EQ(ParseRange(c.text, 100, &range), c.parses) << c.text;
        for (const auto &[value, alerts] : c.alerts)
            EXPECT_EQ(Alerts(&range, value), alerts) << c.text << " at " << value;
    }
    Range none = {};
    EXPECT_FALSE(Alerts(&none, -1));
}

} // namespace
