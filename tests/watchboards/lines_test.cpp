// WatchBoards' lines, sample by sample: what a script reading them gets for
// a first sample, a step, a wrap, a reset, a stale record, a vanished block
// and its return.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "fields.h"
#include "lines.h"
#include "samples.h"

namespace test {
namespace {

const char kHeader[] =
    "time\tboard\tstate\tlinkStatusA\tlinkStatusB\trxGoodOctetsA\trxGoodOctetsB\ttxOctetsA\t"
    "txOctetsB\trxErrA\trxErrB\tintervalMs\trxGoodOctetsDeltaA\trxGoodOctetsDeltaB\t"
    "txOctetsDeltaA\ttxOctetsDeltaB\trxErrDeltaA\trxErrDeltaB\trxDivergence\ttxDivergence\t"
    "divergent\trxErrSinceStartA\trxErrSinceStartB\tresets\trxRateA\trxRateB\ttxRateA\t"
    "txRateB\tlanSpeed\tlinkLossesA\tlinkLossesB\tlinkDownSecondsA\tlinkDownSecondsB\n";

std::string Line(const Board &board, LineFormat format) {
    static Text text = GrowingText();
    EmptyText(&text);
    BoardSettings settings = Defaults();
    FigureContext context = {&settings, 0};
    AppendBoardLine(&text, &board, "T", &context, format);
    return text.chars;
}

using test::Fields;

TEST(Lines, HeaderOnlyWhenTabSeparated) {
    char chars[1024];
    Text text = TEXT_IN(chars);
    AppendHeaderLine(&text, kTabSeparated);
    EXPECT_EQ(std::string(chars), kHeader);
    text = TEXT_IN(chars);
    AppendHeaderLine(&text, kJson);
    EXPECT_EQ(std::string(chars), "");
}

// Board 3, published once a second from 0 s on, each round half a second
// after the service publishes.
TEST(Lines, OneRoundAfterAnother) {
    const struct {
        const char *what;
        uint64_t ms;
        BlockState state;
        Counters counters;
        const char *fields; // NAME=VALUE, blank-separated
    } samples[] = {
        {"first: no differences yet",
         0,
         kBlockWhole,
         {1000, 1000, 4294967000u, 500, 0, 2, 1, 1},
         "state=live txOctetsA=4294967000 rxErrB=2 intervalMs= rxGoodOctetsDeltaA= "
         "rxErrDeltaB= divergent= rxErrSinceStartB=0 resets=0 rxRateA= lanSpeed=1000000000"},
        // 3000 - 1000 = 2000, 2000 - 1000 = 1000; txOctetsA wraps:
        // (4294967296 - 4294967000) + 200 = 496; 996 - 500 = 496.  rx A-B:
        // 1000 of 2000 = 50.0%, beyond 5%; tx carries no more than 1000
        // octets a second, too little to compare.
        {"a step, a wrap",
         1000,
         kBlockWhole,
         {3000, 2000, 200, 996, 1, 2, 1, 1},
         "state=live linkStatusB=1 intervalMs=1000 rxGoodOctetsDeltaA=2000 "
         "rxGoodOctetsDeltaB=1000 txOctetsDeltaA=496 txOctetsDeltaB=496 rxErrDeltaA=1 "
         "rxErrDeltaB=0 rxDivergence=50.0 txDivergence= divergent=1 rxErrSinceStartA=1 "
         "resets=0 rxRateA=16000 rxRateB=8000 txRateA=3968 txRateB=3968"},
        // rxErrA back from 1 to 0: a reset, which counts nothing of the step.
        {"an error counter lower than before",
         2000,
         kBlockWhole,
         {3100, 2100, 300, 1096, 0, 2, 1, 1},
         "rxGoodOctetsA=3100 intervalMs= rxGoodOctetsDeltaA= rxRateA= divergent= "
         "rxErrSinceStartA=1 resets=1"},
        // Less on A than B: 1000 of 3000 is -33.3%.
        {"a step after the reset",
         3000,
         kBlockWhole,
         {5100, 5100, 1300, 2096, 2, 2, 1, 1},
         "intervalMs=1000 rxGoodOctetsDeltaA=2000 rxGoodOctetsDeltaB=3000 rxErrDeltaA=2 "
         "rxDivergence=-33.3 divergent=1 rxErrSinceStartA=3 resets=1"},
        {"unchanged when a publication was due: one that counted nothing, nothing to compare",
         4000,
         kBlockWhole,
         {5100, 5100, 1300, 2096, 2, 2, 1, 1},
         "state=live intervalMs=1000 rxGoodOctetsDeltaA=0 txOctetsDeltaB=0 rxErrDeltaA=0 "
         "rxDivergence= divergent=0 rxErrSinceStartA=3 rxRateA=0"},
        // Unchanged since 3000 ms: stale from 3000 + 5000 ms on.
        {"unchanged for the stale time",
         8000,
         kBlockWhole,
         {5100, 5100, 1300, 2096, 2, 2, 1, 1},
         "state=stale linkStatusB=1 rxGoodOctetsA=5100 intervalMs= rxGoodOctetsDeltaA= "
         "rxErrDeltaB= rxRateA= divergent= rxErrSinceStartA=3 resets=1"},
        {"gone: nothing of the record",
         9000,
         kBlockGone,
         {},
         "state=gone linkStatusA= rxGoodOctetsB= txOctetsA= rxErrB= intervalMs= "
         "rxErrDeltaA= divergent= rxErrSinceStartA=3 rxErrSinceStartB=0 resets=1"},
        // Back: a service that started again.  What was counted meanwhile is
        // unknown: a reset, which adds nothing to the errors since the start.
        {"back",
         10000,
         kBlockWhole,
         {10, 20, 30, 40, 4, 5, 1, 1},
         "state=live linkStatusB=1 rxGoodOctetsA=10 rxErrB=5 intervalMs= rxErrDeltaB= "
         "divergent= rxErrSinceStartA=3 rxErrSinceStartB=0 resets=2"},
        {"short: the last record, no differences",
         11000,
         kBlockShort,
         {},
         "state=short linkStatusA=1 rxGoodOctetsB=20 rxErrA=4 intervalMs= rxErrDeltaA= "
         "divergent= rxErrSinceStartA=3 resets=2"},
        // Whole again and on: the same service's block, cut short a while.
        // No reset; what was counted meanwhile counts, over the two periods
        // since the last publication seen.
        {"whole again, counted on",
         12000,
         kBlockWhole,
         {125010, 20, 30, 40, 10, 7, 1, 1},
         "state=live intervalMs=2000 rxGoodOctetsDeltaA=125000 rxErrDeltaA=6 rxErrDeltaB=2 "
         "rxRateA=500000 rxRateB=0 rxDivergence=100.0 rxErrSinceStartA=9 "
         "rxErrSinceStartB=2 resets=2"},
        {"and on", 13000, kBlockWhole, {250010, 20, 30, 40, 13, 7, 1, 1},
         "intervalMs=1000 rxGoodOctetsDeltaA=125000 rxRateA=1000000 rxErrDeltaA=3 "
         "rxErrSinceStartA=12"},
    };
    Board board;
    StartBoard(&board, 3, kGigabit);
    BoardSettings settings = Defaults();
    for (const auto &s : samples) {
        Sample(&board, s.state, s.counters, s.ms, &settings);
        EXPECT_EQ(Fields(Line(board, kTabSeparated), s.fields), s.fields) << s.what;
    }
}

TEST(Lines, JsonSaysNullForWhatTheLineLeavesEmpty) {
    Board board;
    StartBoard(&board, -2, kGigabit);
    BoardSettings settings = Defaults();
    Sample(&board, kBlockWhole, {4294967295u, 7, 8, 9, 10, 11, 2, 0}, 0, &settings);
    EXPECT_EQ(Line(board, kJson),
              "{\"time\":\"T\",\"board\":-2,\"name\":null,\"state\":\"live\",\"linkStatusA\":2,"
              "\"linkStatusB\":0,\"rxGoodOctetsA\":4294967295,\"rxGoodOctetsB\":7,"
              "\"txOctetsA\":8,\"txOctetsB\":9,\"rxErrA\":10,\"rxErrB\":11,\"intervalMs\":null,"
              "\"rxGoodOctetsDeltaA\":null,\"rxGoodOctetsDeltaB\":null,\"txOctetsDeltaA\":null,"
              "\"txOctetsDeltaB\":null,\"rxErrDeltaA\":null,\"rxErrDeltaB\":null,"
              "\"rxDivergence\":null,\"txDivergence\":null,\"divergent\":null,"
              "\"rxErrSinceStartA\":0,\"rxErrSinceStartB\":0,\"resets\":0,\"rxRateA\":null,"
              "\"rxRateB\":null,\"txRateA\":null,\"txRateB\":null,\"lanSpeed\":1000000000,"
              "\"linkLossesA\":0,\"linkLossesB\":0,\"linkDownSecondsA\":0,\"linkDownSecondsB\":0}\n");
    // 4294967295 to 5: 6, a wrap.  LanB down: LanA and LanB not compared.
    Sample(&board, kBlockWhole, {5, 7, 8, 9, 10, 11, 2, 0}, 1000, &settings);
    EXPECT_NE(Line(board, kJson).find("\"rxGoodOctetsDeltaA\":6,\"rxGoodOctetsDeltaB\":0,"),
              std::string::npos);
    EXPECT_NE(Line(board, kJson)
                  .find("\"rxDivergence\":null,\"txDivergence\":null,"
                        "\"divergent\":false,"),
              std::string::npos);
}

} // namespace
} // namespace test

namespace test {
namespace {

// Each figure as each output writes it, one writer for all: a rate in bit/s
// in a line, in bytes in a metric; a percentage with one decimal in a
// line, as a ratio in a metric; unknown, "-", empty, null.  Board 3 over
// one second: 10000 and 9490 octets received, 5.1% apart; 3 errors on
// LanA.
TEST(Figures, EachAsEachOutputWritesIt) {
    BoardSettings settings = Defaults();
    ViewSettings view = {settings, false, true};
    Board board, never;
    StartBoard(&board, 3, kGigabit);
    StartBoard(&never, 4, kGigabit);
    Sample(&board, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1}, 0, &settings);
    Sample(&board, kBlockWhole, {10000, 9490, 0, 0, 3, 0, 1, 1}, 1000, &settings);
    const struct {
        FigureId figure;
        int lan;
        int output; // a FigureOutput, or -1 on the screen
        const char *text;
        bool never = false; // of a board never seen
    } cases[] = {
        {kFigureRxRate, kLanA, kInLine, "80000"},
        {kFigureRxRate, kLanA, kInMetric, "10000"},
        {kFigureRxRate, kLanB, -1, "75.9 k"},
        {kFigureRxDivergence, 0, kInLine, "5.1"},
        {kFigureRxDivergence, 0, kInMetric, "0.051"},
        {kFigureRxDivergence, 0, -1, "+5.1%"},
        {kFigureDivergent, 0, kInJson, "true"},
        {kFigureDivergent, 0, kInLine, "1"},
        {kFigureState, 0, kInJson, "\"live\""},
        {kFigureState, 0, -1, "live"},
        {kFigureLinkStatus, kLanB, -1, "up"},
        {kFigureLinkStatus, kLanB, kInMetric, "1"},
        {kFigureRxErrDelta, kLanA, kInJson, "3"},
        {kFigureRxRate, kLanA, -1, "-", true},
        {kFigureRxRate, kLanA, kInLine, "", true},
        {kFigureRxRate, kLanA, kInJson, "null", true},
        {kFigureState, 0, kInJson, "\"gone\"", true},
    };
    FigureContext context = {&settings, 1000};
    for (const auto &c : cases) {
        char chars[64];
        Text text = TEXT_IN(chars);
        const Board *of = c.never ? &never : &board;
        if (c.output < 0)
            AppendScreenFigure(&text, c.figure, of, c.lan, &context, &view, kBlockCountWidth);
        else
            AppendFigure(&text, c.figure, of, c.lan, &context, (FigureOutput)c.output);
        EXPECT_STREQ(chars, c.text) << kFigures[c.figure].name << " " << c.output;
    }
}

} // namespace
} // namespace test

#include "event_lines.h"

namespace test {
namespace {

// What happened to board 3, a round at a time, as the events say it: each
// round half a second after the service published at 0 s, 1 s, ...; the
// wall clock at 0 ms is 2026-12-08T12:00:00.000Z.
TEST(Events, EachChangeOnceWhenItIsSeen) {
    const struct {
        uint64_t ms;
        BlockState state;
        Counters counters;
        const char *events;
    } rounds[] = {
        {0, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1}, ""}, // as it is at the start: no change
        {1000, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 0}, "12:00:01.000Z board 3 LanB down\n"},
        {2000, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1},
         "12:00:02.000Z board 3 LanB up after 1.0 s\n"},
        // 10000 against 8000 octets: 20% apart.
        {3000, kBlockWhole, {10000, 8000, 0, 0, 0, 0, 1, 1},
         "12:00:03.500Z board 3 rx +20.0% beyond the mark\n"},
        {4000, kBlockWhole, {20000, 18000, 0, 0, 0, 0, 1, 1},
         "12:00:04.500Z board 3 rx within the mark\n"},
        {5000, kBlockWhole, {30000, 28000, 0, 0, 0, 0, 1, 1}, ""},
        // LanB lost while rx is 20% apart: the link's trouble, no word of
        // the mark; nor when it is back, over a second it was down.
        {6000, kBlockWhole, {40000, 30000, 0, 0, 0, 0, 1, 0}, "12:00:06.000Z board 3 LanB down\n"},
        {7000, kBlockWhole, {50000, 30000, 0, 0, 0, 0, 1, 1},
         "12:00:07.000Z board 3 LanB up after 1.0 s\n"},
        {8000, kBlockGone, {}, "12:00:08.500Z board 3 gone\n"},
        {10000, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1},
         "12:00:10.500Z board 3 back after 2 s\n12:00:10.500Z board 3 reset\n"},
    };
    BoardSettings settings = Defaults();
    Board board;
    EventMemory memory = {};
    StartBoard(&board, 3, kGigabit);
    BoardEvent events[kMostBoardEvents];
    for (const auto &r : rounds) {
        Sample(&board, r.state, r.counters, r.ms, &settings);
        uint64_t now = r.ms + kHalfPeriodMs;
        int count = NoteEvents(&memory, &board, now, events);
        Text text = GrowingText();
        AppendEvents(&text, events, count, now, 1796731200000 + now, kTabSeparated, kForReaders);
        std::string said = text.length != 0 ? text.chars : "";
        for (size_t at = 0; (at = said.find("2026-12-08T", at)) != std::string::npos;)
            said.erase(at, 11);
        EXPECT_EQ(said, r.events) << r.ms;
        free(text.chars);
    }
    // For the journal, with its priority, JSON too; and as JSON.
    Sample(&board, kBlockWhole, {0, 0, 0, 0, 0, 0, 0, 1}, 11000, &settings);
    int count = NoteEvents(&memory, &board, 11500, events);
    const std::pair<EventsFor, LineFormat> outputs[] = {
        {kForJournal, kTabSeparated}, {kForJournal, kJson}, {kForReaders, kJson}};
    const char *said[] = {"<4>2026-12-08T12:00:11.000Z board 3 LanA down\n",
                          "<4>{\"time\":\"2026-12-08T12:00:11.000Z\",\"board\":3,\"name\":null,\"lan\":"
                          "\"LanA\",\"event\":\"down\"}\n",
                          "{\"time\":\"2026-12-08T12:00:11.000Z\",\"board\":3,\"name\":null,\"lan\":\"LanA\","
                          "\"event\":\"down\"}\n"};
    for (int i = 0; i < 3; i++) {
        Text text = GrowingText();
        AppendEvents(&text, events, count, 11500, 1796731200000 + 11500, outputs[i].second,
                     outputs[i].first);
        EXPECT_STREQ(text.chars, said[i]);
        free(text.chars);
    }
    // A link down when first seen, and so after a block came back: its loss
    // was not seen, and how long it was down is not said.
    Board late;
    EventMemory lateMemory = {};
    StartBoard(&late, 5, kGigabit);
    Sample(&late, kBlockWhole, {0, 0, 0, 0, 0, 0, 0, 1}, 0, &settings);
    NoteEvents(&lateMemory, &late, 500, events);
    Sample(&late, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1}, 1000, &settings);
    count = NoteEvents(&lateMemory, &late, 1500, events);
    Text text = GrowingText();
    AppendEvents(&text, events, count, 1500, 1796731200000 + 1500, kTabSeparated, kForReaders);
    EXPECT_STREQ(text.chars, "2026-12-08T12:00:01.000Z board 5 LanA up\n");
    free(text.chars);
}

} // namespace
} // namespace test
