// WatchBoards' screen, rendered to text from a model fed by hand: two boards
// for five seconds, board 1's LanB carrying nothing and losing its link.
// And the terminal sequences that bring the screen up to date.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <sstream>
#include <string>

#include "keys.h"
#include "layout.h"
#include "samples.h"

namespace test {
namespace {

const TerminalAbilities kFullTerminal = {true, true};

// The screen's parts as the tests below see them.  Board 0: 1500000 * 8 =
// 12.0 Mbit/s against 1490000 * 8 = 11.9 Mbit/s, (1500000 - 1490000) /
// 1500000 = +0.67%, +0.7%; transmit 11.2 against 11.28 M, -10000 / 1410000 = -0.7%.
// Board 1: LanB down, so LanA and LanB not compared.  The graphs: a gap for
// the first sample, then five seconds at the top of their scale; LanB of
// board 1 at 0.
const std::string kHeader = "WatchBoards     LanA        LanB   A−B\n";
const std::string kBoard0 = R"(Board 0 live
link          up >5s      up >5s
rx bit/s      12.0 M      11.9 M +0.7%
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             1           0
link lost          0           0
down for          0s          0s
)";
const std::string kGraphs0 = R"(rx A                                                       ·█████ max 12.0 M
rx B                                                       ·█████
)";
const std::string kBoard1 = R"(Board 1 · LanB down
link          up >5s     down 3s
rx bit/s      12.2 M         0
tx bit/s      11.2 M      11.3 M
err/s              0           0
errors             0           0
link lost          0           1
down for          0s          3s
)";
const std::string kGraphs1 = R"(rx A                                                       ·█████ max 12.2 M
rx B                                                       ·
)";

std::string Lines(int count) { return std::string((size_t)count, '\n'); }

class TwoBoards : public ::testing::Test {
  protected:
    void TearDown() override {
        free(grid_.cells);
        free(grid_.ends);
    }

    void SetUp() override {
        view_ = {Defaults(), false, true};
        StartBoard(&boards_[0], 0, kGigabit);
        StartBoard(&boards_[1], 1, kGigabit);
        StartGraphs(&graphs_[0]);
        StartGraphs(&graphs_[1]);
        for (uint32_t second = 0; second <= 5; second++) {
            // Per second on board 0: 1500000 and 1490000 octets received,
            // 12.0 and 11.9 Mbit/s; LanA: one error in the fourth second.
            Sample(&boards_[0], kBlockWhole,
                   {1500000 * second, 1490000 * second, 1400000 * second, 1410000 * second,
                    second >= 3, 0, 1, 1},
                   second * 1000, &view_.boards);
            // Board 1: LanB receives nothing, and goes down at 2 s.
            Sample(&boards_[1], kBlockWhole,
                   {1520000 * second, 5, 1400000 * second, 1410000 * second, 0, 0, 1,
                    (uint8_t)(second >= 2 ? 0 : 1)},
                   second * 1000, &view_.boards);
            for (int b = 0; b < 2; b++) {
                FigureContext context = {&view_.boards, second * 1000 + kHalfPeriodMs};
                KeepGraphs(&graphs_[b], &boards_[b], &context);
            }
        }
    }

    // The screen of rows x columns laid out from the first count boards.
    std::string Render(int rows, int columns, int firstBoard = 0, int count = 2,
                       bool troubleOnly = false, bool keys = false) {
        grid_.rows = rows;
        grid_.columns = columns;
        ShownBoard list[] = {{&boards_[0], nullptr, &graphs_[0]}, {&boards_[1], nullptr, &graphs_[1]}};
        ::Screen screen = {count, firstBoard, 2,       troubleOnly, false,
                           keys,  as_,        nullptr, notice_,     notThere_};
        FigureContext context = {&view_.boards, nowMs_};
        LayOutScreen(list, &screen, &context, &view_, &grid_);
        Text text = GrowingText();
        GridAsText(&grid_, &text);
        std::string shown = text.chars;
        free(text.chars);
        return shown;
    }

    ViewSettings view_;
    uint64_t nowMs_ = 5000;
    ScreenNotice notice_ = {0, 0, false};
    const char *notThere_ = nullptr;
    BoardsAs as_ = kAsFits;
    Board boards_[2];
    GraphHistory graphs_[2];
    Grid grid_ = {}; // its cells made on first use
};

TEST_F(TwoBoards, EightyByTwentyFour) {
    EXPECT_EQ(Render(24, 80), kHeader + kBoard0 + kGraphs0 + "\n" + kBoard1 + kGraphs1 +
                                  Lines(1) +
                                  "                      q quit  b bytes  g graphs  +/- mark "
                                  ">5%  t trouble  ? keys\n");
}

// Too narrow for the graphs, too low for both boards: one at a time.
TEST_F(TwoBoards, FortyByTen) {
    EXPECT_EQ(Render(10, 40), kHeader + kBoard0 +
                                  "board 1 of 2 ↑↓  1 in trouble     ? keys\n");
    EXPECT_EQ(Render(10, 40, 1), kHeader + kBoard1 +
                                     "board 2 of 2 ↑↓                   ? keys\n");
}

// The footer's parts, each where it fits whole, the heaviest first: where
// the boards shown are and how many out of view are in trouble before a
// speed taken; the keys, as many as fit in the columns left.
TEST_F(TwoBoards, FooterPartsAsTheWidthAllows) {
    const struct {
        int columns;
        ScreenNotice notice;
        const char *notThere;
        std::string footer;
    } cases[] = {
        {40, {3400, 10000000000, false}, nullptr, "board 1 of 2 ↑↓  1 in trouble     ? keys"},
        {79,
         {3400, 10000000000, false},
         nullptr,
         "board 1 of 2 ↑↓  1 in trouble  board 3400 taken at 10G           q quit  ? keys"},
        // 24 columns left, then 25, for the keys.
        {55, {0, 0, false}, nullptr, "board 1 of 2 ↑↓  1 in trouble            q quit  ? keys"},
        {56, {0, 0, false}, nullptr, "board 1 of 2 ↑↓  1 in trouble  q quit  t trouble  ? keys"},
        {40, {0, 0, false}, "no board 99", "no board 99  board 1 of 2 ↑↓      ? keys"},
    };
    for (const auto &c : cases) {
        notice_ = c.notice;
        notThere_ = c.notThere;
        std::string shown = Render(10, c.columns);
        shown.pop_back();
        EXPECT_EQ(shown.substr(shown.rfind('\n') + 1), c.footer) << c.columns;
    }
}

// In bytes: the rates and their labels; the graph's scale too.
TEST_F(TwoBoards, RatesInBytes) {
    view_.bytes = true;
    std::string bytes = kHeader + R"(Board 0 live
link          up >5s      up >5s
rx B/s         1.5 M       1.5 M +0.7%
tx B/s         1.4 M       1.4 M -0.7%
err/s              0           0
errors             1           0
link lost          0           0
down for          0s          0s
rx A                                                       ·█████ max 1.5 M
)";
    EXPECT_EQ(Render(24, 80).substr(0, bytes.size()), bytes);
}

// Whatever the trouble, the heading says it, the board is one of t's and
// out of view it counts in the footer; and what is not trouble is none of
// these.  Board 1 is made so after board 0's five seconds, at 5 s.
TEST_F(TwoBoards, TroubleInTheHeadingInTAndInTheFooter) {
    const struct {
        const char *what;
        void (*make)(Board *, const BoardSettings *);
        uint64_t nowMs;
        const char *heading;
    } cases[] = {
        {"unchanged for the stale time: stale since the last change",
         [](Board *b, const BoardSettings *s) {
             for (uint64_t ms = 6000; ms <= 11000; ms += 1000)
                 Sample(b, kBlockWhole, {5, 5, 5, 5, 0, 0, 1, 1}, ms, s);
         },
         11500, "Board 1 · stale 5s"},
        // 10000 against 9500: 500 / 10000 = 5.0%, at the mark; 9490: 5.1%.
        {"at the mark exactly",
         [](Board *b, const BoardSettings *s) {
             Sample(b, kBlockWhole, {10000, 9500, 0, 0, 0, 0, 1, 1}, 6000, s);
         },
         6500, "Board 1 live"},
        {"beyond the mark",
         [](Board *b, const BoardSettings *s) {
             Sample(b, kBlockWhole, {10000, 9490, 0, 0, 0, 0, 1, 1}, 6000, s);
         },
         6500, "Board 1 · rx +5.1%"},
        {"errors, both links down, the heaviest first",
         [](Board *b, const BoardSettings *s) {
             Sample(b, kBlockWhole, {0, 0, 0, 0, 0, 3, 0, 0}, 6000, s);
         },
         6500, "Board 1 · LanA down · LanB down · LanB 3 err/s"},
        {"gone", [](Board *b, const BoardSettings *s) { Sample(b, kBlockGone, {}, 6000, s); },
         6500, "Board 1 · gone"},
        {"gone and back: a reset, and nothing left of the heading before",
         [](Board *b, const BoardSettings *s) {
             Sample(b, kBlockGone, {}, 6000, s);
             Sample(b, kBlockWhole, {7, 7, 7, 7, 0, 0, 1, 1}, 7000, s);
         },
         7500, "Board 1 live resets 1"},
        {"short: a link down in the last record is heavier",
         [](Board *b, const BoardSettings *s) {
             Sample(b, kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 0}, 6000, s);
             Sample(b, kBlockShort, {}, 7000, s);
         },
         7500, "Board 1 · LanB down · short"},
    };
    for (const auto &c : cases) {
        StartBoard(&boards_[1], 1, kGigabit);
        Sample(&boards_[1], kBlockWhole, {0, 0, 0, 0, 0, 0, 1, 1}, 5000, &view_.boards);
        c.make(&boards_[1], &view_.boards);
        nowMs_ = c.nowMs;
        std::string heading = c.heading;
        bool trouble = heading.find(" · ") != std::string::npos;
        // Laid out on the grid of the case before, whose heading was longer.
        EXPECT_EQ(Render(10, 60, 1).substr(kHeader.size(), heading.size() + 1), heading + "\n")
            << c.what;
        EXPECT_EQ(boards_[1].verdict.count != 0, trouble) << c.what;
        EXPECT_EQ(Render(10, 40, 0).find("1 in trouble") != std::string::npos, trouble) << c.what;
    }
}

// A link seen again after its block was gone has been so since then; a
// board whose counters grew faster than its speed is said in the footer.
TEST_F(TwoBoards, LinksAfterAGapAndAnotherLanSpeed) {
    StartBoard(&boards_[1], 7, kGigabit); // never seen
    CloseRound(&boards_[1], 5500, &view_.boards, 0);
    Sample(&boards_[0], kBlockGone, {}, 6000, &view_.boards);
    Sample(&boards_[0], kBlockGone, {}, 7000, &view_.boards);
    Sample(&boards_[0], kBlockWhole, {1, 1, 1, 1, 0, 0, 1, 1}, 8000, &view_.boards);
    notice_ = {0, 100000000, false};
    nowMs_ = 11000;
    EXPECT_EQ(Render(20, 80), kHeader + R"(Board 0 live resets 1
link          up >3s      up >3s
rx bit/s           -           -
tx bit/s           -           -
err/s              -           -
errors             1           0
link lost          0           0
down for          0s          0s

Board 7 · gone
link               -           -
rx bit/s           -           -
tx bit/s           -           -
err/s              -           -
errors             -           -
link lost          -           -
down for           -           -
)" + Lines(1) + "board 0 taken at 100M                                             q quit  ? keys\n");
}

// A terminal of any size is used whole: 300x200 shows 30 boards three
// across, with their graphs, and a second
// drawing of it rewrites only what changed.
TEST(TallScreen, ShowsEveryBoardAndRedrawsOnlyWhatChanged) {
    static Board boards[30];
    ViewSettings settings = {Defaults(), false, true};
    for (int i = 0; i < 30; i++) {
        StartBoard(&boards[i], i, kGigabit);
        Sample(&boards[i], kBlockWhole, {1000, 1000, 1000, 1000, 0, 0, 1, 1}, 0, &settings.boards);
    }
    static Grid next, shown;
    next.rows = 200;
    next.columns = 300;
    // With graphs: (300 + 2) / (77 + 2) = 3 across, (200 - 2 + 1) / (10 + 1)
    // = 18 down, 54 in all.
    Placement placement = PlaceBoards(&next, 30, kAsFits, &settings);
    EXPECT_EQ(placement.across * 100 + placement.shown, 330);
    ShownBoard list[30];
    for (int i = 0; i < 30; i++)
        list[i] = ShownBoard{&boards[i], nullptr, nullptr};
    ::Screen screen = {
        30, 0, 30, false, false, false, kAsFits, nullptr, ScreenNotice{0, 0, false}, nullptr};
    FigureContext context = {&settings.boards, 1000};
    LayOutScreen(list, &screen, &context, &settings, &next);
    Text text = GrowingText();
    GridAsText(&next, &text);
    std::string all = text.chars;
    EXPECT_NE(all.find("Board 29 live"), std::string::npos);
    EXPECT_NE(all.find("Board 0 live"), std::string::npos);
    EXPECT_EQ(all.find(" of 30"), std::string::npos);

    EmptyText(&text);
    EXPECT_TRUE(DrawDifferences(&next, &shown, true, kFullTerminal, &text));
    PutText(&next, 199, 299, "x", kStylePlain);
    EmptyText(&text);
    EXPECT_TRUE(DrawDifferences(&next, &shown, false, kFullTerminal, &text));
    EXPECT_EQ(std::string(text.chars), "\033[200;300H\033[0mx");
    free(text.chars);
}

// Where the boards go: blocks side by side as the width holds, with graphs
// while all of them fit so; else without; else a line a board where 80
// columns are there for it.
TEST(Placements, BlocksAcrossOrALineEach) {
    const struct {
        int rows, columns, count;
        bool graphs;
        const char *placed; // lines graphs across shown
    } cases[] = {
        {50, 120, 30, true, "1 0 1 30"}, // 47 lines
        {60, 200, 8, true, "0 1 2 8"},   // (200 + 2) / (77 + 2) = 2 across, 5 down
        {60, 200, 8, false, "0 0 4 8"},  // (200 + 2) / (40 + 2) = 4 across
        {24, 80, 3, true, "1 0 1 3"},    // blocks: 1 across, 2 down, too few
        {10, 40, 2, true, "0 0 1 1"},    // too narrow for lines: a block at a time
        {200, 300, 30, true, "0 1 3 30"},
    };
    for (const auto &c : cases) {
        Grid grid = {c.rows, c.columns, nullptr, nullptr, 0, 0};
        ViewSettings settings = {Defaults(), false, c.graphs};
        Placement p = PlaceBoards(&grid, c.count, kAsFits, &settings);
        char placed[32];
        snprintf(placed, sizeof placed, "%d %d %d %d", p.lines, p.graphs, p.across, p.shown);
        EXPECT_STREQ(placed, c.placed) << c.columns << "x" << c.rows << " " << c.count;
    }
}

// Trouble stands out: a link down, a divergence beyond the mark, errors in
// red (in reverse video where there is no colour), in the cells and in the
// heading; the grid in ASCII where the terminal has no UTF-8.
TEST_F(TwoBoards, TroubleInColourOrReverseVideo) {
    Render(24, 80); // board 1: LanB down
    const struct {
        TerminalAbilities abilities;
        const char *alarm;
        const char *header; // the heading's row as sent
    } terminals[] = {
        {{true, true}, "\033[0;1;31m", "A\xe2\x88\x92" "B"},
        {{false, true}, "\033[0;1;7m", "A\xe2\x88\x92" "B"},
        {{true, false}, "\033[0;1;31m", "A-B"},
    };
    for (const auto &t : terminals) {
        static Grid shown;
        Text out = GrowingText();
        ASSERT_TRUE(DrawDifferences(&grid_, &shown, true, t.abilities, &out));
        std::string drawn = out.chars;
        free(out.chars);
        EXPECT_NE(drawn.find(std::string(t.alarm) + "LanB down"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find(std::string(t.alarm) + "down 3s"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find(t.header), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("\xe2"), t.abilities.utf8 ? drawn.find("\xe2") : std::string::npos);
    }
}

// t: only the boards in trouble, and what is out of view said; ?: the keys;
// g where there is no room for graphs says so.
TEST_F(TwoBoards, TroubleOnlyKeysAndGraphsWithoutRoom) {
    boards_[0] = boards_[1]; // the list of t: board 1 alone
    EXPECT_EQ(Render(10, 60, 0, 1, true),
              kHeader + kBoard1 +
                  "in trouble only: 1 of 2                       q quit  ? keys\n");
    // As many a row as fit, in full; at 40x10, in short.
    EXPECT_EQ(Render(10, 60, 0, 2, false, true), R"(WatchBoards keys (any key to go back)
q, Ctrl-C quit   b bit/s or byte/s   g graphs on or off
+, - raise or lower the mark   t only the boards in trouble
s by board or trouble first   d blocks or a line a board
up, down, k, j a row of boards   PgUp, PgDn a page
Home, End the first, the last
12 Enter go to board 12 (Esc: not)
Ctrl-L draw it all again   Ctrl-Z suspend (fg: back)
? these keys

)");
    EXPECT_EQ(Render(10, 40, 0, 2, false, true), R"(WatchBoards keys (any key to go back)
q, Ctrl-C quit   b bits/bytes   g graphs
+, - mark   t trouble only   s sort
d blocks/lines   up, down, k, j scroll
PgUp, PgDn page   Home, End first/last
12 Enter board 12   Ctrl-L redraw
Ctrl-Z suspend   ? keys



)");
    // Two boards at 80x19: no room for graphs, which are on.
    EXPECT_NE(Render(19, 80).find("q quit  b bytes  g graphs: no room  +/- mark >5%"),
              std::string::npos);
}

// A key a row where the rows allow it.
TEST_F(TwoBoards, KeysPageAKeyARow) {
    EXPECT_EQ(Render(24, 80, 0, 2, false, true), R"(WatchBoards keys (any key to go back)
q, Ctrl-C       quit
b               bit/s or byte/s
g               graphs on or off
+, -            raise or lower the mark
t               only the boards in trouble
s               by board or trouble first
d               blocks or a line a board
up, down, k, j  a row of boards
PgUp, PgDn      a page
Home, End       the first, the last
12 Enter        go to board 12 (Esc: not)
Ctrl-L          draw it all again
Ctrl-Z          suspend (fg: back)
?               these keys
)" + Lines(9));
}

// A board's number and Enter: the row of that board first, or, where it is
// not in the list, said in the footer until the next key.
TEST_F(TwoBoards, GoesToTheBoardTypedOrSaysItIsNotThere) {
    ShownBoard list[] = {{&boards_[0], nullptr, nullptr}, {&boards_[1], nullptr, nullptr}};
    Placement placement = {false, false, 1, 1};
    ScreenState screen = {};
    for (int key : {'9', '9', '\r'})
        Obey(key, &view_, &screen, &placement);
    GoToTypedBoard(&screen, list, 2, placement.across);
    EXPECT_STREQ(screen.notThere, "no board 99");
    EXPECT_EQ(screen.firstBoard, 0);
    screen.troubleOnly = true;
    for (int key : {'1', '\r'})
        Obey(key, &view_, &screen, &placement);
    EXPECT_STREQ(screen.notThere, "");
    GoToTypedBoard(&screen, list, 2, placement.across);
    EXPECT_EQ(screen.firstBoard, 1);
    for (int key : {'7', '\r'})
        Obey(key, &view_, &screen, &placement);
    GoToTypedBoard(&screen, list, 1, placement.across);
    EXPECT_STREQ(screen.notThere, "no board 7 in trouble");
    EXPECT_EQ(screen.firstBoard, 1);
}

// What a terminal can show, from its environment.
TEST(Terminal, AbilitiesFromTheEnvironment) {
    const struct {
        const char *term, *noColour, *locale;
        bool screen, colour, utf8;
    } cases[] = {
        {"xterm-256color", nullptr, "en_US.UTF-8", true, true, true},
        {"screen", "", "C.utf8", true, true, true},
        {"tmux-256color", "1", "de_DE.UTF-8@euro", true, false, true},
        {"vt100", nullptr, "en_US.UTF-8", true, false, true},
        {"xterm-mono", nullptr, "POSIX", true, false, false},
        {"linux", nullptr, "C", true, true, false},
        {"xterm", nullptr, "en_US.ISO-8859-1", true, true, false},
        {"xterm", nullptr, "UTF-8", true, true, false}, // no codeset: the C locale's
        {"dumb", nullptr, "en_US.UTF-8", false, false, false},
        {"", nullptr, "en_US.UTF-8", false, false, false},
        {nullptr, nullptr, "en_US.UTF-8", false, false, false},
    };
    for (const auto &c : cases) {
        TerminalAbilities abilities = {false, false};
        EXPECT_EQ(AbilitiesOf(c.term, c.noColour, c.locale, &abilities), c.screen)
            << (c.term ? c.term : "(none)");
        if (c.screen) {
            EXPECT_EQ(abilities.colour, c.colour) << c.term;
            EXPECT_EQ(abilities.utf8, c.utf8) << c.term << " " << c.locale;
        }
    }
}

TEST_F(TwoBoards, TooSmallSaysWhatItNeeds) {
    EXPECT_EQ(Render(9, 40), "WatchBoards needs 40x10, not 40x9\n" + Lines(8));
    // Cut into words where it is narrower still.
    EXPECT_EQ(Render(6, 12), "WatchBoards\nneeds 40x10,\nnot 12x6\n" + Lines(3));
}

} // namespace
} // namespace test

namespace test {
namespace {

// The bytes written to the terminal: the first time all of it after a
// clear, then only the cells that changed, one cursor move for a run.  A
// row cleared and put again shorter is blanked as far as it reached.
TEST(DrawDifferences, RewritesOnlyTheCellsThatChanged) {
    static Grid next, shown;
    const struct {
        const char *what;
        bool clear;         // clears the grid first, and puts "!" again
        const char *change; // put at row 0, column 0 before drawing
        bool whole;
        const char *bytes;
        const char *text; // the grid as text after the draw
    } draws[] = {
        {"all", true, "ab", true, "\033[0m\033[2J\033[1;1Hab\033[2;6H\033[0;1;7m!\033[0m",
         "ab\n     !\n"},
        {"nothing changed", false, "", false, "", "ab\n     !\n"},
        {"one cell", false, "ac", false, "\033[1;2H\033[0mc", "ac\n     !\n"},
        {"a run of two", false, "xy", false, "\033[1;1H\033[0mxy", "xy\n     !\n"},
        {"back to blank, a character of three bytes", false, " −", false,
         "\033[1;1H\033[0m \xe2\x88\x92", " −\n     !\n"},
        {"cleared, put again shorter", true, "a", false, "\033[1;1H\033[0ma ", "a\n     !\n"},
        {"cleared, nothing put on the row", true, "", false, "\033[1;1H\033[0m ", "\n     !\n"},
        {"cleared, put again as before", true, "", false, "", "\n     !\n"},
        {"all again, after a clear of the screen", false, "", true,
         "\033[0m\033[2J\033[2;6H\033[0;1;7m!\033[0m", "\n     !\n"},
        {"a blank between two changes written over, not moved past", false, "a b", false,
         "\033[1;1H\033[0ma b", "a b\n     !\n"},
        {"further on the row, the cursor taken forward", false, "x b      c", false,
         "\033[1;1H\033[0mx\033[8Cc", "x b      c\n     !\n"},
    };
    for (const auto &d : draws) {
        if (d.clear) {
            ClearGrid(&next, 2, 12);
            PutText(&next, 1, 5, "!", kStyleMark);
        }
        PutText(&next, 0, 0, d.change, kStylePlain);
        char chars[256];
        Text out = TEXT_IN(chars);
        EXPECT_TRUE(DrawDifferences(&next, &shown, d.whole, kFullTerminal, &out));
        EXPECT_EQ(std::string(chars), d.bytes) << d.what;
        Text text = TEXT_IN(chars);
        GridAsText(&shown, &text);
        EXPECT_EQ(std::string(chars), d.text) << d.what;
    }
}

// A grid of another size than the one shown is drawn whole.
TEST(DrawDifferences, AllOfItOnAnotherSize) {
    static Grid next, shown;
    ClearGrid(&next, 1, 3);
    PutText(&next, 0, 0, "ab", kStylePlain);
    char chars[64];
    Text out = TEXT_IN(chars);
    EXPECT_TRUE(DrawDifferences(&next, &shown, true, kFullTerminal, &out));
    ClearGrid(&next, 2, 3);
    PutText(&next, 0, 0, "ab", kStylePlain);
    out = TEXT_IN(chars);
    EXPECT_TRUE(DrawDifferences(&next, &shown, false, kFullTerminal, &out));
    EXPECT_EQ(std::string(chars), "\033[0m\033[2J\033[1;1Hab");
}

} // namespace
} // namespace test

namespace test {
namespace {

// Two blocks' lines side by side, the right one from the column at.
std::string SideBySide(const std::string &left, const std::string &right, size_t at) {
    std::istringstream l(left), r(right);
    std::string joined;
    for (std::string a, b; std::getline(l, a) && std::getline(r, b);) {
        size_t width = 0; // characters, not bytes
        for (char c : a)
            width += (c & 0xc0) != 0x80;
        joined += a + std::string(at - width, ' ') + b + "\n";
    }
    return joined;
}

// As many blocks side by side as the width holds, 77 columns and a gap of 2
// each with their graphs; and where the blocks of all boards do not fit (or
// when asked), a line a board.
TEST_F(TwoBoards, SideBySideOrALineEach) {
    std::string headings = kHeader.substr(0, kHeader.size() - 1) + std::string(57, ' ') +
                           "LanA        LanB   A−B\n";
    EXPECT_EQ(Render(14, 160),
              headings + SideBySide(kBoard0 + kGraphs0, kBoard1 + kGraphs1, 79) + Lines(2) +
                  std::string(102, ' ') +
                  "q quit  b bytes  g graphs  +/- mark >5%  t trouble  ? keys\n");
    as_ = kAsLines;
    EXPECT_EQ(Render(10, 80), R"(WatchBoards
 Board  Trouble          LanA LanB    rx A    rx B   A−B err A err B lostA lostB
     0  live               up   up  12.0 M  11.9 M +0.7%     0     0     0     0
     1  LanB down          up down  12.2 M     0       -     0     0     0     1





                      q quit  b bytes  g graphs  +/- mark >5%  t trouble  ? keys
)");
}

// A board's line at any width from 80 down to 40 keeps each figure whole:
// a count too wide for its column shortened with its unit, a column that
// does not fit left out whole.  Board 0 with 1500000 errors a second on
// LanA and 123456 link losses on LanB.
TEST_F(TwoBoards, ALineKeepsItsFiguresWhole) {
    for (uint32_t second = 6; second <= 7; second++)
        Sample(&boards_[0], kBlockWhole,
               {1500000 * second, 1490000 * second, 1400000 * second, 1410000 * second,
                1500000 * (second - 6), 0, 1, 1},
               second * 1000, &view_.boards);
    boards_[0].lan[kLanB].linkLosses = 123456;
    nowMs_ = 7500;
    const struct {
        int columns;
        const char *line;
    } widths[] = {
        {80, "     0  LanA 1.5M err/s    up   up  12.0 M  11.9 M +0.7%  1.5M     0     0  123k"},
        {60, "     0  LanA 1.5M err/s        up   up  12.0 M  11.9 M +0.7%"},
        {41, "     0  LanA 1.5M err/s           up   up"},
        {40, "     0  LanA 1.5M err/s          up   up"},
    };
    as_ = kAsLines;
    for (const auto &w : widths) {
        std::string screen = Render(10, w.columns, 0, 1);
        size_t line = screen.find('\n', screen.find('\n') + 1) + 1;
        EXPECT_EQ(screen.substr(line, screen.find('\n', line) - line), w.line) << w.columns;
    }
}

// Names in a column of their own, where the room allows: whole at 120
// columns, shortened at 90, none at 80, where the essentials take it all.
TEST_F(TwoBoards, NamesWhereThereIsRoom) {
    boards_[0].name = "Bay 3 feeder";
    as_ = kAsLines;
    const struct {
        int columns;
        const char *headings, *line;
    } widths[] = {
        {120, " Board Name          Trouble", "     0 Bay 3 feeder  live"},
        {90, " Board Name       Trouble", "     0 Bay 3 fee  live"},
        {80, " Board  Trouble          LanA", "     0  live               up"},
    };
    for (const auto &w : widths) {
        std::string screen = Render(10, w.columns);
        size_t headings = screen.find('\n') + 1, line = screen.find('\n', headings) + 1;
        EXPECT_EQ(screen.substr(headings, strlen(w.headings)), w.headings) << w.columns;
        EXPECT_EQ(screen.substr(line, strlen(w.line)), w.line) << w.columns;
    }
}

// A board with errors in one round stays in trouble ten seconds, its
// heading saying how long ago; the trouble order puts the worst first.
TEST_F(TwoBoards, TroubleHeldAndTheWorstFirst) {
    Board errors;
    StartBoard(&errors, 2, kGigabit);
    HeldTroubles held[3] = {}, heldAt15 = {};
    const struct {
        uint64_t ms;
        uint32_t rxErrA;
        const char *heading;
        bool inTrouble;
    } rounds[] = {
        {5000, 0, "Board 2 live", false},
        {6000, 3, "Board 2 · LanA 3 err/s", true},
        {10000, 3, "Board 2 · LanA 3 err/s · 4 s ago", true},
        {15000, 3, "Board 2 · LanA 3 err/s · 9 s ago", true},
        {16000, 3, "Board 2 live", false},
    };
    for (const auto &r : rounds) {
        uint32_t rx = (uint32_t)r.ms; // the record changes: not stale
        Sample(&errors, kBlockWhole, {rx, rx, 0, 0, r.rxErrA, 0, 1, 1}, r.ms, &view_.boards);
        uint64_t now = r.ms + kHalfPeriodMs;
        HoldTroubles(&held[2], &errors, now);
        if (r.ms == 15000)
            heldAt15 = held[2];
        ShownBoard shown = {&errors, &held[2], nullptr};
        EXPECT_EQ(ShownInTrouble(&shown, now), r.inTrouble) << r.ms;
        grid_.rows = 10;
        grid_.columns = 60;
        ::Screen screen = {1, 0, 1, false, false, false, kAsBlocks, nullptr, notice_, nullptr};
        FigureContext context = {&view_.boards, now};
        LayOutScreen(&shown, &screen, &context, &view_, &grid_);
        Text text = GrowingText();
        GridAsText(&grid_, &text);
        std::string heading = text.chars;
        free(text.chars);
        heading = heading.substr(heading.find('\n') + 1);
        EXPECT_EQ(heading.substr(0, heading.find('\n')), r.heading) << r.ms;
    }
    // Board 1's link down is heavier than errors held on board 2.
    HoldTroubles(&held[0], &boards_[0], 15500);
    HoldTroubles(&held[1], &boards_[1], 15500);
    ShownBoard all[] = {{&boards_[0], &held[0], nullptr},
                        {&boards_[1], &held[1], nullptr},
                        {&errors, &heldAt15, nullptr}};
    ShownBoard list[3];
    for (bool order : {false, true}) {
        int count = ListShown(list, all, 3, false, order, 15500);
        std::string boards;
        for (int i = 0; i < count; i++)
            boards += std::to_string(list[i].board->boardIndex);
        EXPECT_EQ(boards, order ? "120" : "012");
    }
}

} // namespace
} // namespace test
