// The boards' arithmetic: counter differences across a wrap and a reset,
// speeds taken, rounds that keep a steady rate steady.  Every expected value
// is worked out by hand in the comments, from 2^32 = 4294967296, not taken
// from the code.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "rounds.h"
#include "samples.h"

namespace {

using test::kGigabit;

// A publication of LanA's counters each second after the first, on a board
// of speed speed: what the board counted, its resets and the speed taken.
// 1 Gbit/s carries 125000000 octets a second, 131250000 with 5% to spare;
// 10 Gbit/s 1312500000; 100 Mbit/s 13125000.  2^32 = 4294967296.
TEST(Steps, ResetsGapsAndSpeedsTaken) {
    const struct {
        const char *what;
        uint64_t speed;
        std::vector<std::pair<uint32_t, uint32_t>> published; // rxGoodOctetsA, rxErrA
        uint64_t counted; // LanA's octets counted since the start
        uint32_t resets;
        uint64_t speedTaken;
        bool tooFast = false;
        uint64_t gapMs = 0; // not read for this long before the last publication
    } cases[] = {
        // (4294967296 - 4294967000) + 200 = 496, then 1000: a wrap counts.
        {"a wrap", kGigabit, {{4294967000u, 0}, {200, 0}, {1200, 0}}, 1496, 0, kGigabit},
        // 131250000 carried, one more is beyond: held, then a step that fits
        // makes it a reset, which counts nothing.
        {"at the speed", kGigabit, {{0, 0}, {131250000, 0}}, 131250000, 0, kGigabit},
        {"beyond once: a reset",
         kGigabit,
         {{0, 0}, {131250001, 0}, {131260001, 0}},
         10000,
         1,
         kGigabit},
        // From 3000000000 to 1000: 1294968296, which 10 Gbit/s carries; the
        // error counter going back from 5 to 0 tells the reset.
        {"a board of 100M reset under -s 10G",
         10 * kGigabit,
         {{3000000000u, 5}, {1000, 0}, {2000, 0}},
         1000,
         1,
         10 * kGigabit},
        {"the same with its own speed, without errors",
         100000000,
         {{3000000000u, 0}, {1000, 0}, {2000, 0}},
         1000,
         1,
         100000000},
        // 1250000000 a second three times: 10G carries them, and they count.
        {"a board of 10G under -s 1G",
         kGigabit,
         {{0, 0}, {1250000000, 0}, {2500000000u, 0}, {3750000000u, 0}, {705032704, 0}},
         5000000000,
         0,
         10 * kGigabit},
        // 1400000000 a second: beyond 10G with its spare.
        {"faster than 10G",
         kGigabit,
         {{0, 0}, {1400000000, 0}, {2800000000u, 0}, {4200000000u, 0}},
         0,
         0,
         kGigabit,
         true},
        // 40 s without a read: 40 periods at 1G could have wrapped the
        // counter, so the step tells nothing; nor is it a reset.
        {"a gap", kGigabit, {{0, 0}, {1000, 0}, {5000, 0}}, 1000, 0, kGigabit, false, 40000},
        // 2000000 errors a second are more frames than 1 Gbit/s carries
        // (125000000 / 84 * 1.05 = 1562500) but not 10 Gbit/s: a board of
        // 10G whatever its errors, not a reset each second.
        {"a board of 10G under -s 1G, with 2000000 errors a second",
         kGigabit,
         {{0, 0}, {1000, 2000000}, {2000, 4000000}, {3000, 6000000}, {4000, 8000000}},
         4000,
         0,
         10 * kGigabit},
        // At 10G a counter that went back from 3900000000 to 500000000 steps
        // (4294967296 - 3900000000) + 500000000 = 894967296, which 10 Gbit/s
        // carries: only another counter of the publication can tell a reset,
        // here rxErrA back from 5 to 0.  Nothing of it counts.
        {"a reset at 10G that an error counter tells",
         10 * kGigabit,
         {{3900000000u, 5}, {500000000, 0}, {600000000, 0}},
         100000000,
         1,
         10 * kGigabit},
        // The same with nothing to tell it: 32-bit counters cannot, and it
        // counts as traffic (the README says so).
        {"a reset at 10G that nothing tells",
         10 * kGigabit,
         {{3900000000u, 0}, {500000000, 0}},
         894967296,
         0,
         10 * kGigabit},
    };
    BoardSettings settings = test::Defaults();
    for (const auto &c : cases) {
        Board board;
        StartBoard(&board, 3, c.speed);
        uint64_t ms = 0;
        for (size_t i = 0; i < c.published.size(); i++, ms += 1000) {
            if (i + 1 == c.published.size())
                ms += c.gapMs;
            test::Sample(&board, kBlockWhole,
                         {c.published[i].first, 0, 0, 0, c.published[i].second, 0, 1, 1}, ms,
                         &settings);
        }
        EXPECT_EQ(board.tooFast ? 0 : board.lan[kLanA].total[kRxOctets], c.counted) << c.what;
        EXPECT_EQ(board.resets, c.resets) << c.what;
        EXPECT_EQ(board.bitsPerSecond, c.speedTaken) << c.what;
        EXPECT_EQ(board.tooFast, c.tooFast) << c.what;
    }
}

// The service publishes a steady 600 Mbit/s (75000000 octets a second) and 3
// errors a second on board 0, at each whole second give or take a few
// milliseconds; board 1 goes idle after 3 s.  However long after the service
// published WatchBoards starts, every line from the third says 600 Mbit/s,
// and 3 errors for each period it spans; board 0 whatever board 1 does.
TEST(Rounds, ASteadyRateReadsSteadyWhateverThePhase) {
    auto published = [](int64_t ms, int board) { // the record as read at ms
        int64_t n = 0;
        while ((n + 1) * 1000 + (n + 1) * 7 % 13 < ms)
            n++;
        if (board == 1 && n > 3)
            n = 3;
        return test::Record({(uint32_t)(75000000 * n), 0, 0, 0, (uint32_t)(3 * n), 0, 1, 1});
    };
    BoardSettings settings = test::Defaults();
    for (int64_t phase : {-40, -20, -5, 0, 3, 10, 50, 99, 100, 101, 250, 480, 500, 750}) {
        Board boards[2];
        PrpValue read[2] = {}; // what each board's last read found
        StartBoard(&boards[0], 0, kGigabit);
        StartBoard(&boards[1], 1, kGigabit);
        RoundClock clock;
        uint64_t ms = (uint64_t)(100000 + phase);
        StartClock(&clock, ms, true);
        uint64_t phaseMs = 0;
        for (int line = 1; line <= 12; ms = NextDueMs(&clock, phaseMs)) {
            Due due = DueAt(&clock, ms, phaseMs);
            for (int b = 0; b < 2 && due != kDueNothing; b++) {
                PrpValue record = published((int64_t)ms - 100000, b);
                bool again = memcmp(&record, &read[b], sizeof record) == 0;
                read[b] = record;
                ReadBoard(&boards[b], kBlockWhole, &record, again, ms);
                // The rounds keep to the first board's publications, as a
                // watch does.
                phaseMs = boards[0].phaseMs != 0 ? boards[0].phaseMs : boards[1].phaseMs;
            }
            if (due != kDueRound)
                continue;
            uint64_t latest = boards[0].changedMs > boards[1].changedMs ? boards[0].changedMs
                                                                        : boards[1].changedMs;
            for (Board &board : boards)
                CloseRound(&board, ms, &settings, latest);
            int number = line++;
            if (number == 2) { // a gap in the graph after the first at most
                EXPECT_TRUE(boards[0].ratesKnown) << phase;
            }
            if (number < 3)
                continue;
            const Board &busy = boards[0];
            EXPECT_TRUE(busy.ratesKnown) << phase << " line " << number;
            EXPECT_EQ(busy.lan[kLanA].perSecond[kRxOctets] * 8, 600000000u)
                << phase << " line " << number;
            if (busy.stepped) {
                EXPECT_EQ(busy.lan[kLanA].roundStep[kRxErrors], 3u * busy.roundPeriods)
                    << phase << " line " << number;
            }
            if (number >= 6 && number <= 8) { // idle since 3 s, not yet stale: known as 0
                EXPECT_TRUE(boards[1].ratesKnown && boards[1].lan[kLanA].perSecond[0] == 0)
                    << phase << " line " << number;
            }
        }
    }
}

// The rounds of a watch that does not take the records as they are first
// (WatchBoards): the first half a period after the service's first
// publication seen, or a period and a half on when none comes; then a
// second apart, whatever the moment it started.
TEST(Rounds, ASecondApartFromTheFirst) {
    const struct {
        uint64_t phaseMs; // the first publication seen; 0: none
        std::vector<uint64_t> rounds;
    } cases[] = {
        {230, {730, 1730, 2730}},
        {1090, {1590, 2590, 3590}},
        {0, {1500, 2500, 3500}},
    };
    for (const auto &c : cases) {
        RoundClock clock;
        StartClock(&clock, 0, false);
        std::vector<uint64_t> rounds;
        for (uint64_t ms = 0; rounds.size() < 3; ms = NextDueMs(&clock, ms >= c.phaseMs ? c.phaseMs : 0)) {
            uint64_t phase = ms >= c.phaseMs ? c.phaseMs : 0; // known once it has come
            if (DueAt(&clock, ms, phase) == kDueRound)
                rounds.push_back(ms);
        }
        EXPECT_EQ(rounds, c.rounds) << c.phaseMs;
    }
}

TEST(Figures, DivergenceInTenthsOfAPercentOfTheLarger) {
    const struct {
        uint64_t a, b;
        int32_t tenths;
    } cases[] = {
        {1000, 500, 500},      // 500 / 1000 = 50.0%
        {500, 1000, -500},     // LanB carries more
        {0, 0, 0},             // nothing on either
        {3, 0, 1000},          // LanB carries nothing: 100%
        {1500000, 1490000, 7}, // 10000 / 1500000 = 0.67%: 0.7
        {10000, 9491, 51},     // 509 / 10000 = 5.09%: 5.1, beyond 5%
        {10000, 9505, 50},     // 4.95%: 5.0
        {4294967295u, 0, 1000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DivergenceTenths(c.a, c.b), c.tenths) << c.a << " " << c.b;
}

} // namespace
