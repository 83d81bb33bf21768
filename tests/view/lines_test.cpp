// WatchBoards' lines, sample by sample: what a script reading them gets for
// a first sample, a step, a wrap, a reset, a stale record, a vanished block
// and its return.
#include <gtest/gtest.h>

#include <string>

#include "lines.h"
#include "samples.h"

namespace test {
namespace {

const char kHeader[] =
    "time\tboard\tstate\tlinkStatusA\tlinkStatusB\trxGoodOctetsA\trxGoodOctetsB\ttxOctetsA\t"
    "txOctetsB\trxErrA\trxErrB\tintervalMs\trxGoodOctetsDeltaA\trxGoodOctetsDeltaB\t"
    "txOctetsDeltaA\ttxOctetsDeltaB\trxErrDeltaA\trxErrDeltaB\trxDivergence\ttxDivergence\t"
    "divergent\trxErrSinceStartA\trxErrSinceStartB\tresets\n";

std::string Line(const BoardView &board, LineFormat format) {
    static char chars[2048];
    Text text = TEXT_IN(chars);
    ViewSettings settings = Defaults();
    AppendBoardLine(&text, &board, "T", &settings, format);
    return chars;
}

TEST(Lines, HeaderOnlyWhenTabSeparated) {
    char chars[1024];
    Text text = TEXT_IN(chars);
    AppendHeaderLine(&text, kTabSeparated);
    EXPECT_EQ(std::string(chars), kHeader);
    text = TEXT_IN(chars);
    AppendHeaderLine(&text, kJson);
    EXPECT_EQ(std::string(chars), "");
}

TEST(Lines, OneSampleAfterAnother) {
    const struct {
        const char *what;
        uint64_t ms;
        BlockState state;
        Counters counters;
        const char *line; // after "T\t3\t"
    } samples[] = {
        {"first: no differences yet",
         0,
         kBlockWhole,
         {1000, 1000, 4294967000u, 500, 0, 2, 1, 1},
         "live\t1\t1\t1000\t1000\t4294967000\t500\t0\t2\t\t\t\t\t\t\t\t\t\t0\t0\t0\t0"},
        // 2000 - 1000 = 1000, 1500 - 1000 = 500; txOctetsA wraps:
        // (4294967296 - 4294967000) + 200 = 496; 996 - 500 = 496.  rx A-B:
        // 500 of 1000 = 50.0%, beyond 5%.
        {"a step, a wrap",
         1000,
         kBlockWhole,
         {2000, 1500, 200, 996, 1, 2, 1, 0},
         "live\t1\t0\t2000\t1500\t200\t996\t1\t2\t1000\t1000\t500\t496\t496\t1\t0\t50.0\t0.0\t1\t1"
         "\t0\t0"},
        // rxGoodOctetsA back to 100: (4294967296 - 2000) + 100 is beyond
        // 250000000.  A gap, one reset; the errors did count on (0 more).
        {"a reset",
         2000,
         kBlockWhole,
         {100, 2500, 1200, 1996, 1, 2, 1, 0},
         "live\t1\t0\t100\t2500\t1200\t1996\t1\t2\t\t\t\t\t\t\t\t\t\t0\t1\t0\t1"},
        // Less on A than B: 1000 of 1500 against 1500 is -33.3%.
        {"a step after the reset",
         3000,
         kBlockWhole,
         {1100, 4000, 2200, 2996, 3, 2, 1, 0},
         "live\t1\t0\t1100\t4000\t2200\t2996\t3\t2\t1000\t1000\t1500\t1000\t1000\t2\t0\t-33.3\t0.0"
         "\t1\t3\t0\t1"},
        {"unchanged",
         4000,
         kBlockWhole,
         {1100, 4000, 2200, 2996, 3, 2, 1, 0},
         "live\t1\t0\t1100\t4000\t2200\t2996\t3\t2\t1000\t0\t0\t0\t0\t0\t0\t0.0\t0.0\t0\t3\t0\t1"},
        // Unchanged since 3000 ms: stale from 3000 + 5000 ms on.
        {"unchanged for the stale time",
         8000,
         kBlockWhole,
         {1100, 4000, 2200, 2996, 3, 2, 1, 0},
         "stale\t1\t0\t1100\t4000\t2200\t2996\t3\t2\t\t\t\t\t\t\t\t\t\t0\t3\t0\t1"},
        {"gone: nothing of the record",
         9000,
         kBlockGone,
         {},
         "gone\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t0\t3\t0\t1"},
        // Back: a service that started again; its errors count from 0.
        {"back",
         10000,
         kBlockWhole,
         {10, 20, 30, 40, 4, 5, 1, 1},
         "live\t1\t1\t10\t20\t30\t40\t4\t5\t\t\t\t\t\t\t\t\t\t0\t7\t5\t2"},
        {"short: the last record, no differences",
         11000,
         kBlockShort,
         {},
         "short\t1\t1\t10\t20\t30\t40\t4\t5\t\t\t\t\t\t\t\t\t\t0\t7\t5\t2"},
    };
    BoardView board;
    StartBoardView(&board, 3);
    ViewSettings settings = Defaults();
    for (const auto &s : samples) {
        PrpValue record = Record(s.counters);
        TakeSample(&board, s.state, &record, s.ms, &settings);
        EXPECT_EQ(Line(board, kTabSeparated), std::string("T\t3\t") + s.line + "\n") << s.what;
    }
}

TEST(Lines, JsonSaysNullForWhatTheLineLeavesEmpty) {
    BoardView board;
    StartBoardView(&board, -2);
    ViewSettings settings = Defaults();
    PrpValue record = Record({4294967295u, 7, 8, 9, 10, 11, 2, 0});
    TakeSample(&board, kBlockWhole, &record, 0, &settings);
    EXPECT_EQ(Line(board, kJson),
              "{\"time\":\"T\",\"board\":-2,\"state\":\"live\",\"linkStatusA\":2,"
              "\"linkStatusB\":0,\"rxGoodOctetsA\":4294967295,\"rxGoodOctetsB\":7,"
              "\"txOctetsA\":8,\"txOctetsB\":9,\"rxErrA\":10,\"rxErrB\":11,\"intervalMs\":null,"
              "\"rxGoodOctetsDeltaA\":null,\"rxGoodOctetsDeltaB\":null,\"txOctetsDeltaA\":null,"
              "\"txOctetsDeltaB\":null,\"rxErrDeltaA\":null,\"rxErrDeltaB\":null,"
              "\"rxDivergence\":null,\"txDivergence\":null,\"divergent\":false,"
              "\"rxErrSinceStartA\":0,\"rxErrSinceStartB\":0,\"resets\":0}\n");
    record.rxGoodOctetsA = 5; // 4294967295 to 5: 6, a wrap
    TakeSample(&board, kBlockWhole, &record, 1000, &settings);
    EXPECT_NE(Line(board, kJson).find("\"rxGoodOctetsDeltaA\":6,\"rxGoodOctetsDeltaB\":0,"),
              std::string::npos);
    EXPECT_NE(Line(board, kJson)
                  .find("\"rxDivergence\":100.0,\"txDivergence\":0.0,"
                        "\"divergent\":true,"),
              std::string::npos);
}

} // namespace
} // namespace test
