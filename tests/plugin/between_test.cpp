// What check_prp_hsr tells of the time since the last check, called
// directly: boards as a look leaves them, what the last check left (in the
// state's own text) and the exporter's file, and the answer as written: its
// status line, its long output and its state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answer.h"
#include "between.h"
#include "parse_words.h"

namespace {

// The last check 10 s before this one; each board's last publication half a
// second before its check, so 10 periods apart.
const uint64_t kNowMs = 1765000010000, kMonotonicMs = 100000;
const std::string kHead = "check_prp_hsr state 1\nchecked 1765000000000\n";

// A board as the look leaves it: its raw counters (of each LAN: octets
// received, sent, receive errors), its links; the look's own rates are
// 125000, 1000 and 0 a second on each LAN where it took them.
struct Looked {
    int32_t index;
    uint32_t counter[kLans][kCounters];
    BoardState state = kBoardLive;
    bool lookRates = true;
    uint8_t link[kLans] = {1, 1};
};

struct Case {
    const char *name;
    std::vector<std::string> arguments;
    std::string memory; // after kHead, before "end"; "-": none
    std::vector<Looked> boards;
    std::string file; // the exporter's file, written 10 s after the last; "": none
    std::string answer;
    PluginState state;
    bool stateNotKept = false;
};

std::string Rates(int board, uint64_t rxA, uint64_t rxB, const std::string &most = "125000000") {
    std::string b = "'board" + std::to_string(board);
    return " " + b + "_rxA'=" + std::to_string(rxA) + ";;;0;" + most + " " + b +
           "_rxB'=" + std::to_string(rxB) + ";;;0;" + most + " " + b + "_txA'=1000;;;0;" + most +
           " " + b + "_txB'=1000;;;0;" + most;
}
// LanA's octets received against LanB's; those sent, 1000 a second, are
// too few to compare.
std::string Apart(int board, const std::string &rx, const std::string &limits = "5;") {
    return " 'board" + std::to_string(board) + "_rx_divergence'=" + rx + "%;" + limits + ";0;100";
}
std::string Errors(int board, int a) {
    std::string b = " 'board" + std::to_string(board);
    return b + "_errorsA'=" + std::to_string(a) + ";0;;0" + b + "_errorsB'=0;0;;0";
}
std::string Losses(int board, int a = -1, const std::string &limits = "0;2") {
    std::string b = " 'board" + std::to_string(board);
    if (a < 0) // the look's: no thresholds
        return b + "_link_lossesA'=0;;;0" + b + "_link_lossesB'=0;;;0";
    return b + "_link_lossesA'=" + std::to_string(a) + ";" + limits + ";0" + b +
           "_link_lossesB'=0;" + limits + ";0";
}
// Board 7 as the look saw it, quiet: 125000 a second each LAN.
std::string LookOf7() { return Rates(7, 125000, 125000) + Apart(7, "0.0") + Errors(7, 0); }

// 10 s of 125000 octets received and 1000 sent a second, on each LAN.
const Looked kSteady = {7, {{1250000, 10000, 0}, {1250000, 10000, 0}}};
const std::string kRemembered7 = "board 7 live record 1764999999500 1000000000 1 1 0 0 0 0 0 0\n";
std::string Totals(const char *losses, const char *down, const char *errors, const char *rx,
                   const char *tx) {
    std::string text = "prp_hsr_exporter_build_info{version=\"1.0.0\"} 1\n";
    const char *names[] = {"link_losses", "link_down_seconds", "receive_errors",
                           "receive_good_bytes", "transmit_bytes"};
    const char *values[] = {losses, down, errors, rx, tx};
    for (int i = 0; i < 5; i++)
        text += std::string("prp_hsr_") + names[i] + "_total{board=\"7\",lan=\"A\"} " + values[i] +
                "\nprp_hsr_" + names[i] + "_total{board=\"7\",lan=\"B\"} " +
                (i < 3 ? "0" : values[i]) + "\n";
    return text;
}
const std::string kExporter7 =
    "board 7 live record 1764999999500 1000000000 1 1 0 0 0 0 0 0 exporter 1765000000000 "
    "2 0 20 0 4 0 1000 1000 100 100\n";

const Case kCases[] = {
    // Without the exporter: errors from the record's counters, across a
    // wrap; rates and LanA against LanB over the 10 periods.
    {"errors-across-a-wrap",
     {},
     "board 7 live record 1764999999500 1000000000 1 1 0 0 0 0 4294967290 0\n",
     {{7, {{1250000, 10000, 5}, {1000000, 10000, 0}}}},
     "",
     "PRP-HSR WARNING - board 7 rx +20.0% since the last check, board 7 LanA 11 errors since the "
     "last check, 2 err/s |" +
         Rates(7, 125000, 100000) + Apart(7, "20.0") + Errors(7, 2) + Losses(7) + "\n",
     kPluginWarning},
    {"divergence-critical",
     {"-c", "15"},
     kRemembered7,
     {{7, {{1250000, 10000, 0}, {1000000, 10000, 0}}}},
     "",
     "PRP-HSR CRITICAL - board 7 rx +20.0% since the last check |" + Rates(7, 125000, 100000) +
         Apart(7, "20.0", "5;15") + Errors(7, 0) + Losses(7) + "\n",
     kPluginCritical},
    // A step beyond what the LAN carries in 10 s (1.3 GB, with 5% to
    // spare): a reset; the look alone.  Within it, a wrap.
    {"reset",
     {},
     "board 7 live record 1764999999500 1000000000 1 1 2000000000 0 0 0 0 0\n",
     {kSteady},
     "",
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) +
         "\nboard 7: its counters were reset since the last check; only what one look sees is "
         "judged\n",
     kPluginOk},
    {"a-wrap-within-what-it-carries",
     {"-W", "1"},
     "board 7 live record 1764999999500 1000000000 1 1 3000000000 0 0 0 0 0\n",
     {kSteady},
     "",
     "PRP-HSR WARNING - board 7 rx +99.9% since the last check |" + Rates(7, 129621729, 125000) +
         Apart(7, "99.9") + " 'board7_errorsA'=0;1;;0 'board7_errorsB'=0;1;;0" + Losses(7) + "\n",
     kPluginWarning},
    // At 10G, an hour is more than 32-bit counters tell.
    {"too-long",
     {"-s", "10G"},
     "board 7 live record 1764996400000 10000000000 1 1 0 0 0 0 0 0\n",
     {kSteady},
     "",
     "PRP-HSR OK - 1 board |" + Rates(7, 125000, 125000, "1250000000") + Apart(7, "0.0") +
         Errors(7, 0) + Losses(7) +
         "\nboard 7: 1h00m since the last check, longer than its 32-bit counters tell; only what "
         "one look sees is judged\n",
     kPluginOk},
    // The exporter's totals: links lost, seconds down, and the rest.
    {"lost-three-times",
     {},
     kExporter7,
     {kSteady},
     Totals("5", "50", "4", "1251000", "10100"),
     "PRP-HSR CRITICAL - board 7 LanA lost 3 times since the last check, 30s down |" +
         Rates(7, 125000, 125000) + Apart(7, "0.0") + Errors(7, 0) + Losses(7, 3) + "\n",
     kPluginCritical},
    {"lost-once",
     {},
     kExporter7,
     {kSteady},
     Totals("3", "21", "4", "1251000", "10100"),
     "PRP-HSR WARNING - board 7 LanA lost once since the last check, 1s down |" + LookOf7() +
         Losses(7, 1) + "\n",
     kPluginWarning},
    {"losses-thresholds-given",
     {"--losses-warning", "3", "--losses-critical", "5"},
     kExporter7,
     {kSteady},
     Totals("5", "50", "4", "1251000", "10100"),
     "PRP-HSR OK - 1 board |" + Rates(7, 125000, 125000) + Apart(7, "0.0") + Errors(7, 0) +
         Losses(7, 3, "3;5") + "\n",
     kPluginOk},
    // The exporter started again: its totals went back, links lost unknown;
    // errors and rates from the record.
    {"exporter-restarted",
     {},
     kExporter7,
     {kSteady},
     Totals("0", "0", "0", "100", "10"),
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) +
         "\nboard 7: the exporter's totals went back (it started again); its links lost "
         "unknown\n",
     kPluginOk},
    {"not-in-the-file",
     {},
     kExporter7,
     {kSteady},
     "prp_hsr_exporter_build_info{version=\"1.0.0\"} 1\n",
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) +
         "\nboard 7: not in the exporter's file; its links lost unknown\n",
     kPluginOk},
    // Boards the last check saw, gone now, with no board named.
    {"gone-since-this-check",
     {},
     kRemembered7 + "board 8 live\n",
     {kSteady},
     "",
     "PRP-HSR CRITICAL - board 8 gone |" + LookOf7() + Losses(7) + "\n",
     kPluginCritical},
    {"gone-since-an-earlier-check",
     {},
     kRemembered7 + "board 8 gone away 1764999910000\n",
     {kSteady},
     "",
     "PRP-HSR CRITICAL - board 8 gone for 1m40s |" + LookOf7() + Losses(7) + "\n",
     kPluginCritical},
    {"forgotten",
     {"--forget", "99"},
     kRemembered7 + "board 8 gone away 1764999910000\n",
     {kSteady},
     "",
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) + "\nboard 8 gone for 1m40s: forgotten\n",
     kPluginOk},
    {"every-board-gone",
     {},
     "board 7 live\nboard 8 gone away 1764999910000\n",
     {},
     "",
     "PRP-HSR CRITICAL - board 7 gone, board 8 gone for 1m40s\n",
     kPluginCritical},
    // A board named is looked at as it is: gone since an earlier check.
    {"named-gone",
     {"7"},
     "board 7 unreadable away 1764999999000\n",
     {{7, {}, kBoardUnreadable}},
     "",
     "PRP-HSR CRITICAL - board 7 unreadable for 11s\n",
     kPluginCritical},
    {"back",
     {},
     "board 7 gone away 1764999945000\n",
     {kSteady},
     "",
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) + "\nboard 7 back after 1m05s away\n",
     kPluginOk},
    {"not-seen-by-the-last-check",
     {},
     "board 8 live\n",
     {kSteady},
     "",
     "PRP-HSR CRITICAL - board 8 gone |" + LookOf7() + Losses(7) +
         "\nboard 7: not seen by the last check; only what one look sees is judged\n",
     kPluginCritical},
    // Rates one look could not take are known since the last check.
    {"rates-since-the-last-check",
     {},
     kRemembered7,
     {{7, {{1250000, 10000, 0}, {1250000, 10000, 0}}, kBoardLive, false}},
     "",
     "PRP-HSR OK - 1 board |" + LookOf7() + Losses(7) + "\n",
     kPluginOk},
    {"state-not-kept",
     {},
     "-",
     {kSteady},
     "",
     "PRP-HSR UNKNOWN - state not kept |" + LookOf7() + Losses(7) + "\n",
     kPluginUnknown,
     true},
};

void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }

class Between : public ::testing::TestWithParam<Case> {};

TEST_P(Between, AsAnswered) {
    const Case &c = GetParam();
    static CheckOptions options;
    std::vector<std::string> arguments = c.arguments;
    ASSERT_EQ(ParseWords(&arguments, &options), -1);

    static Watch watch;
    watch.named = &options.named;
    watch.count = (int)c.boards.size();
    watch.roundMs = kMonotonicMs;
    for (int i = 0; i < watch.count; i++) {
        const Looked &looked = c.boards[(size_t)i];
        Board *board = &watch.boards[i];
        watch.order[i] = i;
        StartBoard(board, looked.index, SpeedOf(&options.named, looked.index));
        board->state = looked.state;
        board->sampled = HasRecord(looked.state);
        board->publishedMs = board->changedMs = kMonotonicMs - 500;
        board->ratesKnown = looked.lookRates && board->sampled;
        for (int lan = 0; lan < kLans; lan++) {
            board->lan[lan].linkStatus = looked.link[lan];
            for (int counter = 0; counter < kCounters; counter++)
                board->lan[lan].counter[counter] = looked.counter[lan][counter];
            board->lan[lan].perSecond[kRxOctets] = 125000;
            board->lan[lan].perSecond[kTxOctets] = 1000;
        }
        DecideVerdict(board, &options.settings);
    }
    static Memory memory;
    std::string text = kHead + c.memory + "end\n";
    ASSERT_TRUE(c.memory == "-" || ParseMemory(text.data(), text.size(), &memory) == kMemoryWhole);
    static ExporterFile file;
    ParseExporterFile(c.file.data(), c.file.size(), &file);
    Sources sources = {&watch,
                       c.memory == "-" ? nullptr : &memory,
                       c.file.empty() ? nullptr : &file,
                       kNowMs,
                       kNowMs,
                       kMonotonicMs};
    static Check check;
    check.notes = GrowingText();
    WorkOutCheck(&sources, &options, &check);
    Text answer = GrowingText();
    EXPECT_EQ(AppendCheckAnswer(&answer, &check, &options, c.stateNotKept), c.state);
    EXPECT_EQ(std::string(answer.chars, answer.length), c.answer);
    free(answer.chars);
    free(check.notes.chars);
}

INSTANTIATE_TEST_SUITE_P(Table, Between, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 c = isalnum((unsigned char)c) ? c : '_';
                             return name;
                         });

// What the next check is left: the board's record as published, the
// exporter's totals, and since when a board is away.
TEST(Remember, WhatTheNextCheckNeeds) {
    static CheckOptions options;
    char name[] = "check_prp_hsr";
    char *argv[] = {name, nullptr};
    ASSERT_EQ(ParseCheckOptions(1, argv, &options), -1);
    static Watch watch;
    watch.count = 1;
    watch.order[0] = 0;
    Board *board = &watch.boards[0];
    StartBoard(board, 7, 1000000000);
    board->sampled = true;
    board->state = kBoardLive;
    board->publishedMs = kMonotonicMs - 500;
    board->lan[kLanA].counter[kRxErrors] = 4294967295;
    board->lan[kLanB].linkStatus = 1;
    DecideVerdict(board, &options.settings);
    static Memory memory;
    std::string last = kHead + "board 8 gone away 1764999910000\nend\n";
    ASSERT_EQ(ParseMemory(last.data(), last.size(), &memory), kMemoryWhole);
    static ExporterFile file;
    std::string totals = Totals("5", "50", "4", "1251000", "10100");
    ParseExporterFile(totals.data(), totals.size(), &file);
    Sources sources = {&watch, &memory, &file, kNowMs - 1000, kNowMs, kMonotonicMs};
    static Check check;
    check.notes = GrowingText();
    WorkOutCheck(&sources, &options, &check);
    static Memory next;
    Remember(&check, &sources, &next);
    Text text = GrowingText();
    AppendMemory(&text, &next);
    EXPECT_EQ(std::string(text.chars, text.length),
              "check_prp_hsr state 1\nchecked 1765000010000\n"
              "board 7 live record 1765000009500 1000000000 0 1 0 0 0 0 4294967295 0 exporter "
              "1765000009000 5 0 50 0 4 0 1251000 1251000 10100 10100\n"
              "board 8 gone away 1764999910000\nend\n");
    free(text.chars);
    free(check.notes.chars);
}

} // namespace
