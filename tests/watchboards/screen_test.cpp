// WatchBoards' screen, rendered to text from a model fed by hand: two boards
// for five seconds, board 1's LanB carrying nothing and losing its link.
// And the terminal sequences that bring the screen up to date.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "layout.h"
#include "samples.h"

namespace test {
namespace {

const TerminalAbilities kFullTerminal = {true, true};

class Screen : public ::testing::Test {
  protected:
    void TearDown() override {
        free(grid_.cells);
        free(grid_.ends);
    }

    void SetUp() override {
        settings_ = Defaults();
        StartBoardView(&boards_[0], 0);
        StartBoardView(&boards_[1], 1);
        for (uint32_t second = 0; second <= 5; second++) {
            // Per second on board 0: 1500000 and 1490000 octets received,
            // 12.0 and 11.9 Mbit/s; LanA: one error in the fourth second.
            PrpValue record = Record({1500000 * second, 1490000 * second, 1400000 * second,
                                      1410000 * second, second >= 3, 0, 1, 1});
            TakeSample(&boards_[0], kBlockWhole, &record, second * 1000, &settings_);
            // Board 1: LanB receives nothing, and goes down at 2 s.
            record = Record({1520000 * second, 5, 1400000 * second, 1410000 * second, 0, 0, 1,
                             (uint8_t)(second >= 2 ? 0 : 1)});
            TakeSample(&boards_[1], kBlockWhole, &record, second * 1000, &settings_);
        }
    }

    std::string Render(int rows, int columns, int firstBoard = 0) {
        grid_.rows = rows;
        grid_.columns = columns;
        Lay(2, firstBoard, 5000, &grid_);
        static char chars[64 * 1024];
        Text text = TEXT_IN(chars);
        GridAsText(&grid_, &text);
        return chars;
    }

    ViewSettings settings_;
    // Lays out the first count boards.
    void Lay(int count, int firstBoard, uint64_t nowMs, Grid *grid,
             ScreenLayout *again = nullptr) {
        const BoardView *list[] = {&boards_[0], &boards_[1]};
        ScreenFrame frame =
            MakeScreenFrame(count, firstBoard, count, false, false, notice_, &settings_);
        if (again != nullptr)
            LayOutScreenAgain(again, list, &frame, nowMs, grid);
        else
            LayOutScreen(list, &frame, nowMs, grid);
    }

    ScreenNotice notice_ = {0, 0};
    BoardView boards_[2];
    Grid grid_ = {}; // its cells made on first use
};

// Board 0: 1500000 * 8 = 12.0 Mbit/s against 1490000 * 8 = 11.9 Mbit/s,
// (1500000 - 1490000) / 1500000 = +0.6%; transmit 11.2 against 11.28 M,
// -10000 / 1410000 = -0.7%.  Board 1: LanB's 0 against LanA is -100%,
// marked.  The graphs: a gap for the first sample, then five seconds at the
// top of their scale; LanB of board 1 at 0.
TEST_F(Screen, EightyByTwentyFour) {
    EXPECT_EQ(Render(24, 80), R"(WatchBoards     LanA        LanB   A−B
Board 0 live
link          up >5s      up >5s
rx bit/s      12.0 M      11.9 M +0.6%
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             1           0
rx A                                                       ·█████ max 12.0 M
rx B                                                       ·█████

Board 1 · LanB down · rx +100%
link          up >5s     down 3s
rx bit/s      12.2 M         0   +100% !
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             0           0
rx A                                                       ·█████ max 12.2 M
rx B                                                       ·





                      q quit  b bytes  g graphs  +/- mark >5%  t trouble  ? keys
)");
}

// Too narrow for the graphs, too low for both boards: one at a time.
TEST_F(Screen, FortyByTen) {
    const char kHeader[] = "WatchBoards     LanA        LanB   A−B\n";
    EXPECT_EQ(Render(10, 40), kHeader + std::string(R"(Board 0 live
link          up >5s      up >5s
rx bit/s      12.0 M      11.9 M +0.6%
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             1           0


board 1 of 2 ↑↓  1 in trouble     ? keys
)"));
    EXPECT_EQ(Render(10, 40, 1), kHeader + std::string(R"(Board 1 · LanB down · rx +100%
link          up >5s     down 3s
rx bit/s      12.2 M         0   +100% !
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             0           0


board 2 of 2 ↑↓                   ? keys
)"));
}

// All of a grid as the terminal is sent it, styles included.
std::string Drawn(const Grid *grid) {
    static Grid blank;
    static char chars[64 * 1024];
    Text out = TEXT_IN(chars);
    DrawDifferences(grid, &blank, true, kFullTerminal, &out);
    return chars;
}

// Laid out again second after second, the screen keeps its frame only
// while the size, the boards shown and the settings stay: it is always the
// screen laid out from nothing.
TEST_F(Screen, LaidOutAgainAsFromNothing) {
    const struct {
        int rows, columns, count, firstBoard;
        bool bytes, graphs;
        uint32_t markTenths;
    } steps[] = {
        {24, 80, 2, 0, false, true, 50}, {24, 80, 2, 0, false, true, 50}, // the frame kept
        {24, 80, 2, 0, true, true, 50},  {24, 80, 2, 0, true, false, 50},
        {24, 80, 2, 0, true, false, 25}, {24, 80, 1, 0, true, false, 25},
        {10, 40, 2, 0, true, false, 25}, {10, 40, 2, 1, true, false, 25},
        {7, 40, 2, 1, true, false, 25},  {24, 80, 2, 0, false, true, 50},
    };
    static ScreenLayout layout;
    static Grid again, fresh;
    uint64_t nowMs = 5000;
    for (const auto &step : steps) {
        settings_.bytes = step.bytes;
        settings_.graphs = step.graphs;
        settings_.markTenths = step.markTenths;
        again.rows = fresh.rows = step.rows;
        again.columns = fresh.columns = step.columns;
        Lay(step.count, step.firstBoard, nowMs, &again, &layout);
        Lay(step.count, step.firstBoard, nowMs, &fresh);
        EXPECT_EQ(Drawn(&again), Drawn(&fresh)) << nowMs;
        // A second later every figure has changed: board 0's traffic
        // doubles, board 1's block is gone.
        nowMs += 1000;
        uint32_t second = (uint32_t)(nowMs / 1000);
        PrpValue record = Record({3000000 * second, 2980000 * second, 2800000 * second,
                                  2820000 * second, second, 0, 1, 1});
        TakeSample(&boards_[0], kBlockWhole, &record, nowMs, &settings_);
        TakeSample(&boards_[1], kBlockGone, &record, nowMs, &settings_);
    }
}

// The state's word is the lines' word; a link seen again after its block was
// gone has been so since then; a board whose counters grow faster than -s
// allows is said in the footer.
TEST_F(Screen, StatesLinksAfterAGapAndAnotherLanSpeed) {
    StartBoardView(&boards_[1], 7); // never seen
    PrpValue record = Record({1, 1, 1, 1, 0, 0, 1, 1});
    TakeSample(&boards_[0], kBlockGone, &record, 6000, &settings_);
    TakeSample(&boards_[0], kBlockGone, &record, 7000, &settings_);
    TakeSample(&boards_[0], kBlockWhole, &record, 8000, &settings_);
    notice_ = {0, 100000000};
    settings_.lanBitsPerSecond = 10000000;
    grid_.rows = 18;
    grid_.columns = 80;
    Lay(2, 0, 11000, &grid_);
    static char chars[8192];
    Text text = TEXT_IN(chars);
    GridAsText(&grid_, &text);
    EXPECT_EQ(std::string(chars), R"(WatchBoards     LanA        LanB   A−B
Board 0 live resets 1
link          up >3s      up >3s
rx bit/s           -           -
tx bit/s           -           -
err/s              -           -
errors             1           0

Board 7 · gone
link               -           -
rx bit/s           -           -
tx bit/s           -           -
err/s              -           -
errors             -           -



board 0 faster than -s 10M: try -s 100M                           q quit  ? keys
)");
}

// A terminal of any size is a screen as a small one is: 300x200 shows 28 of
// 30 boards, scrolled to the last as to the first, and a second
// drawing of it rewrites only what changed.
TEST(TallScreen, ShowsEveryBoardAndRedrawsOnlyWhatChanged) {
    static BoardView boards[30];
    ViewSettings settings = Defaults();
    for (int i = 0; i < 30; i++) {
        StartBoardView(&boards[i], i);
        PrpValue record = Record({1000, 1000, 1000, 1000, 0, 0, 1, 1});
        TakeSample(&boards[i], kBlockWhole, &record, 0, &settings);
    }
    static Grid next, shown;
    next.rows = 200;
    next.columns = 300;
    // (200 - 2 + 1) / (6 + 1) = 28 boards, without graphs.
    EXPECT_EQ(BoardsShown(&next, 30, &settings), 28);
    const BoardView *list[30];
    for (int i = 0; i < 30; i++)
        list[i] = &boards[i];
    ScreenFrame frame = MakeScreenFrame(30, 2, 30, false, false, ScreenNotice{0, 0}, &settings);
    LayOutScreen(list, &frame, 1000, &next);
    static char chars[1 << 20];
    Text text = TEXT_IN(chars);
    GridAsText(&next, &text);
    std::string screen = chars;
    EXPECT_NE(screen.find("Board 29 live"), std::string::npos);
    EXPECT_EQ(screen.find("Board 1 live"), std::string::npos);
    EXPECT_NE(screen.find("boards 3-30 of 30"), std::string::npos);

    text = TEXT_IN(chars);
    EXPECT_TRUE(DrawDifferences(&next, &shown, true, kFullTerminal, &text));
    PutText(&next, 199, 299, "x", kStylePlain);
    text = TEXT_IN(chars);
    EXPECT_TRUE(DrawDifferences(&next, &shown, false, kFullTerminal, &text));
    EXPECT_EQ(std::string(chars), "\033[200;300H\033[0mx");
}

// Trouble stands out: a link down, a divergence beyond the mark, errors in
// red (in reverse video where there is no colour), in the cells and in the
// heading; the grid in ASCII where the terminal has no UTF-8.
TEST_F(Screen, TroubleInColourOrReverseVideo) {
    grid_.rows = 18;
    grid_.columns = 80;
    Lay(2, 1, 5000, &grid_); // board 1 at the top: LanB down, rx +100%
    static char chars[8192];
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
        Text out = TEXT_IN(chars);
        ASSERT_TRUE(DrawDifferences(&grid_, &shown, true, t.abilities, &out));
        std::string drawn = chars;
        EXPECT_NE(drawn.find(std::string(t.alarm) + "LanB down"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find(std::string(t.alarm) + "down 3s"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find(std::string(t.alarm) + "+100%"), std::string::npos) << drawn;
        EXPECT_NE(drawn.find(t.header), std::string::npos) << drawn;
        EXPECT_EQ(drawn.find("\xe2"), t.abilities.utf8 ? drawn.find("\xe2") : std::string::npos);
    }
}

// t: only the boards in trouble, and what is out of view said; ?: the keys;
// g where there is no room for graphs says so.
TEST_F(Screen, TroubleOnlyKeysAndGraphsWithoutRoom) {
    const BoardView *inTrouble[] = {&boards_[1]};
    ScreenFrame frame = MakeScreenFrame(1, 0, 2, true, false, notice_, &settings_);
    grid_.rows = 10;
    grid_.columns = 60;
    LayOutScreen(inTrouble, &frame, 5000, &grid_);
    static char chars[8192];
    Text text = TEXT_IN(chars);
    GridAsText(&grid_, &text);
    EXPECT_EQ(std::string(chars).substr(std::string(chars).find("Board 1")),
              R"(Board 1 · LanB down · rx +100%
link          up >5s     down 3s
rx bit/s      12.2 M         0   +100% !
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             0           0


in trouble only: 1 of 2                       q quit  ? keys
)");

    frame = MakeScreenFrame(2, 0, 2, false, true, notice_, &settings_);
    LayOutScreen(inTrouble, &frame, 5000, &grid_);
    text = TEXT_IN(chars);
    GridAsText(&grid_, &text);
    EXPECT_EQ(std::string(chars), R"(WatchBoards keys (any key to go back)
q, Ctrl-C  quit, the terminal as it was
b          rates in bit/s or in byte/s
g          graphs on or off
+, -       raise or lower the mark
t          only the boards in trouble, or all
up, k      scroll up
down, j    scroll down
Ctrl-L     draw the whole screen again
Ctrl-Z     suspend (fg brings it back)
)");

    // Three boards at 80x24: no room for graphs, which are on.
    const BoardView *three[] = {&boards_[0], &boards_[0], &boards_[0]};
    frame = MakeScreenFrame(3, 0, 3, false, false, notice_, &settings_);
    grid_.rows = 24;
    grid_.columns = 80;
    LayOutScreen(three, &frame, 5000, &grid_);
    text = TEXT_IN(chars);
    GridAsText(&grid_, &text);
    EXPECT_NE(std::string(chars).find("q quit  b bytes  g graphs: no room  +/- mark >5%"),
              std::string::npos)
        << chars;
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

TEST_F(Screen, TooSmallSaysWhatItNeeds) {
    EXPECT_EQ(Render(7, 40), "WatchBoards needs 40x8\nthis terminal is 40x7\n\n\n\n\n\n");
    EXPECT_EQ(Render(24, 39).substr(0, 46), "WatchBoards needs 40x8\nthis terminal is 39x24\n");
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
    };
    for (const auto &d : draws) {
        if (d.clear) {
            ClearGrid(&next, 2, 6);
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
