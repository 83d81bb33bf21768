// WatchBoards' arithmetic: counter differences across a wrap and a reset,
// and the figures it prints.  Every expected value is worked out by hand in
// the comments, from 2^32 = 4294967296, not taken from the code.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "board_view.h"
#include "text.h"
#include "counter_step.h"
#include "samples.h"

namespace {

// 1 Gbit/s is 125000000 octets a second; frames of at least 84 octets on the
// wire make 125000000 / 84 = 1488095 frames a second (84 * 1488095 =
// 124999980).  A step may span the time between samples plus one
// publishing period of 1000 ms.
const uint64_t kGigabitOctets = 125000000;
const uint64_t kGigabitFrames = 1488095;

TEST(CounterStep, WrapsModulo2To32AndTakesTooLargeADifferenceForAReset) {
    const struct {
        uint32_t previous, current, elapsedMs;
        uint64_t mostPerSecond;
        bool counted;
        uint32_t step;
    } cases[] = {
        // Counting on: 1500 - 1000 = 500; nothing: 0.
        {1000, 1500, 1000, kGigabitOctets, true, 500},
        {123, 123, 1000, kGigabitOctets, true, 0},
        // Wraps: (4294967296 - 4294967000) + 200 = 296 + 200 = 496;
        // 4294967295 to 0 is one; (4294967296 - 4294000000) + 100000000 =
        // 967296 + 100000000 = 100967296.
        {4294967000u, 200, 1000, kGigabitOctets, true, 496},
        {4294967295u, 0, 1000, kGigabitOctets, true, 1},
        {4294000000u, 100000000, 1000, kGigabitOctets, true, 100967296},
        // Unsigned all through: 2147483664 - 2147483647 = 17, where a signed
        // reading would go from the largest to a negative number.
        {0x7fffffff, 0x80000010u, 1000, kGigabitOctets, true, 17},
        // At 1 Gbit/s over 1000 ms plus 1000 ms: 125000000 * 2 = 250000000
        // octets at most; one more is a reset.
        {0, 250000000, 1000, kGigabitOctets, true, 250000000},
        {0, 250000001, 1000, kGigabitOctets, false, 0},
        // A restarted counter: (4294967296 - 3000000000) + 1000 = 1294968296,
        // more than 250000000: a reset, not a step of 1.2 G.
        {3000000000u, 1000, 1000, kGigabitOctets, false, 0},
        // Error frames: 1488095 * 2 = 2976190 at most.  5 to 7 is 2; 5 to 0
        // would be 4294967296 - 5 = 4294967291: a reset.
        {5, 7, 1000, kGigabitFrames, true, 2},
        {5, 0, 1000, kGigabitFrames, false, 0},
        {0, 2976190, 1000, kGigabitFrames, true, 2976190},
        {0, 2976191, 1000, kGigabitFrames, false, 0},
        // 100 Mbit/s (12500000 octets a second), samples 500 ms apart:
        // 12500000 * 1500 / 1000 = 18750000 at most.
        {0, 18750000, 500, 12500000, true, 18750000},
        {0, 18750001, 500, 12500000, false, 0},
        // A late sample, 2000 ms: 125000000 * 3 = 375000000 at most.
        {0, 300000000, 2000, kGigabitOctets, true, 300000000},
        // 10 Gbit/s (1250000000 octets a second): 2500000000 at most;
        // (4294967296 - 4000000000) + 1000000000 = 1294967296.
        {4000000000u, 1000000000, 1000, 1250000000, true, 1294967296u},
        // After 34000 ms at 1 Gbit/s, 125000000 * 35 = 4375000000 >= 2^32:
        // any difference could be true, 1294968296 as above.
        {3000000000u, 1000, 34000, kGigabitOctets, true, 1294968296u},
    };
    for (const auto &c : cases) {
        uint32_t step = 12345;
        EXPECT_EQ(CounterStep(c.previous, c.current, c.elapsedMs, c.mostPerSecond, &step),
                  c.counted)
            << c.previous << " to " << c.current;
        EXPECT_EQ(step, c.step) << c.previous << " to " << c.current;
    }
}

// The service publishes once a second: a difference is that many whole
// seconds' traffic, whatever the time measured between the samples.
TEST(Figures, ARateOverWholePublishingPeriods) {
    const struct {
        uint32_t step, elapsedMs;
        uint64_t perSecond;
    } cases[] = {
        {3, 1011, 3},           // not 3 * 1000 / 1011 = 2
        {125000, 992, 125000},  // not 126008
        {125000, 1011, 125000}, // not 123639
        {250000, 2004, 125000}, // a round late: two seconds
        {3, 1499, 3},           // rounds to one second
        {3, 1500, 1},           // two: 3 / 2
        {7, 0, 7},              // at least one
    };
    for (const auto &c : cases)
        EXPECT_EQ(PerSecond(c.step, c.elapsedMs), c.perSecond) << c.step << " in " << c.elapsedMs;
}

// At -s 10M a step may be 1250000 octets a second; one of 12500000 over
// 1000 ms (allowed 2000 ms with the publishing period: 50 Mbit/s) is a
// reset.  Three in a row name 100M; a record seen again, as when a round
// comes before the service publishes, neither counts nor ends the run; a
// step that fits does.
TEST(Figures, ThreeResetsInARowNameTheSpeedThatCarriesThem) {
    ViewSettings settings = test::Defaults();
    settings.lanBitsPerSecond = 10000000;
    const struct {
        uint32_t rxGoodOctets;
        uint64_t speedNeeded;
    } samples[] = {
        {0, 0},
        {12500000, 0},
        {25000000, 0},
        {25000000, 0}, // seen again
        {37500000, 100000000},
        {50000000, 100000000},
        {50000100, 0},
    };
    BoardView board;
    StartBoardView(&board, 3);
    uint64_t nowMs = 0;
    for (const auto &sample : samples) {
        PrpValue record = test::Record({sample.rxGoodOctets, 0, 0, 0, 0, 0, 1, 1});
        TakeSample(&board, kBlockWhole, &record, nowMs, &settings);
        EXPECT_EQ(SpeedNeeded(&board, &settings), sample.speedNeeded) << "at " << nowMs;
        nowMs += 1000;
    }
}

TEST(Figures, DivergenceInTenthsOfAPercentOfTheLarger) {
    const struct {
        uint32_t a, b;
        int32_t tenths;
    } cases[] = {
        {1000, 500, 500},      // 500 / 1000 = 50.0%
        {500, 1000, -500},     // LanB carries more
        {0, 0, 0},             // nothing on either
        {3, 0, 1000},          // LanB carries nothing: 100%
        {1500000, 1490000, 6}, // 10000 / 1500000 = 0.67%, tenths cut to 6
        {4294967295u, 0, 1000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DivergenceTenths(c.a, c.b), c.tenths) << c.a << " " << c.b;
}

std::string Si(uint64_t value) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendSi(&text, value);
    return chars;
}

std::string Percent(int32_t tenths) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendPercentTenths(&text, tenths);
    return chars;
}

std::string Duration(uint64_t seconds) {
    char chars[32];
    Text text = TEXT_IN(chars);
    AppendDuration(&text, seconds);
    return chars;
}

// Numbers at their widest, and what does not fit in a text of three
// characters: a number or a character of several bytes is left out whole.
TEST(Text, NumbersAndWhatDoesNotFit) {
    char chars[48];
    Text t = TEXT_IN(chars);
    AppendUnsigned(&t, 18446744073709551615u);
    AppendSigned(&t, INT64_MIN);
    AppendDecimal(&t, -5, 3);
    EXPECT_EQ(std::string(chars), "18446744073709551615-9223372036854775808-0.005");

    const struct {
        const char *before;
        void (*append)(Text *);
        const char *after;
    } fits[] = {
        {"ab", [](Text *t) { AppendUnsigned(t, 7); }, "ab7"},
        {"ab", [](Text *t) { AppendUnsigned(t, 12); }, "ab"},
        {"a", [](Text *t) { AppendUnsigned(t, 12); }, "a12"},
        {"a", [](Text *t) { AppendUnsigned(t, 123); }, "a"},
        {"abc", [](Text *t) { AppendChar(t, 'd'); }, "abc"},
        {"a", [](Text *t) { AppendChars(t, "\xe2\x88\x92", 3); }, "a"},
        {"", [](Text *t) { AppendChars(t, "\xe2\x88\x92", 3); }, "\xe2\x88\x92"},
        {"a", [](Text *t) { AppendText(t, "bcd"); }, "a"},
    };
    for (const auto &f : fits) {
        char small[4];
        Text t = TEXT_IN(small);
        AppendText(&t, f.before);
        f.append(&t);
        EXPECT_EQ(std::string(small), f.after) << f.before;
        EXPECT_EQ(t.length, strlen(f.after)) << f.before;
    }
}

TEST(Figures, AsTheScreenPrintsThem) {
    // Rounded to the nearest tenth: 12345 is 12.3 k, 12350 is 12.4 k;
    // 999950 would be 1000.0 k, and is 1.0 M.
    const std::pair<uint64_t, std::string> si[] = {
        {0, "0  "},
        {999, "999  "},
        {1000, "1.0 k"},
        {12345, "12.3 k"},
        {12350, "12.4 k"},
        {999949, "999.9 k"},
        {999950, "1.0 M"},
        {125000000, "125.0 M"},
        {1000000000, "1.0 G"},
        {8000000000, "8.0 G"},
    };
    for (const auto &[value, text] : si)
        EXPECT_EQ(Si(value), text) << value;

    const std::pair<int32_t, std::string> percents[] = {
        {0, "0.0%"},   {7, "+0.7%"},  {-7, "-0.7%"},    {99, "+9.9%"},
        {100, "+10%"}, {125, "+12%"}, {-1000, "-100%"},
    };
    for (const auto &[tenths, text] : percents)
        EXPECT_EQ(Percent(tenths), text) << tenths;

    // 3 * 3600 + 4 * 60 = 11040; 2 * 86400 + 3 * 3600 = 183600.
    const std::pair<uint64_t, std::string> durations[] = {
        {0, "0s"},       {59, "59s"},      {60, "1m00s"},    {62, "1m02s"},     {3599, "59m59s"},
        {3600, "1h00m"}, {11040, "3h04m"}, {86400, "1d00h"}, {183600, "2d03h"},
    };
    for (const auto &[seconds, text] : durations)
        EXPECT_EQ(Duration(seconds), text) << seconds;
}

} // namespace
