// WatchBoards' screen, rendered to text from a model fed by hand: two boards
// for five seconds, board 1's LanB carrying nothing and losing its link.
// And the terminal sequences that bring the screen up to date.
#include <gtest/gtest.h>

#include <string>

#include "layout.h"
#include "samples.h"

namespace test {
namespace {

class Screen : public ::testing::Test {
  protected:
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
        LayOutScreen(boards_, 2, firstBoard, &settings_, 5000, &grid_);
        static char chars[64 * 1024];
        Text text = TEXT_IN(chars);
        GridAsText(&grid_, &text);
        return chars;
    }

    ViewSettings settings_;
    BoardView boards_[2];
    Grid grid_;
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

Board 1 live
link          up >5s     down 3s
rx bit/s      12.2 M         0   +100% !
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             0           0
rx A                                                       ·█████ max 12.2 M
rx B                                                       ·





q quit  b bytes  g graphs  +/- mark >5%
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


board 1 of 2 ↑↓  q quit  b bytes  g grap
)"));
    EXPECT_EQ(Render(10, 40, 1), kHeader + std::string(R"(Board 1 live
link          up >5s     down 3s
rx bit/s      12.2 M         0   +100% !
tx bit/s      11.2 M      11.3 M -0.7%
err/s              0           0
errors             0           0


board 2 of 2 ↑↓  q quit  b bytes  g grap
)"));
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
// clear, then only the cells that changed, one cursor move for a run.
TEST(DrawDifferences, RewritesOnlyTheCellsThatChanged) {
    static Grid next, shown;
    ClearGrid(&next, 2, 6);
    PutText(&next, 0, 0, "ab", kStylePlain);
    PutText(&next, 1, 5, "!", kStyleMark);
    const struct {
        const char *what;
        const char *change; // put at row 0, column 0 before drawing
        bool whole;
        const char *bytes;
    } draws[] = {
        {"all", "", true, "\033[0m\033[2J\033[1;1Hab\033[2;6H\033[0;1;7m!\033[0m"},
        {"nothing changed", "", false, ""},
        {"one cell", "ac", false, "\033[1;2H\033[0mc"},
        {"a run of two", "xy", false, "\033[1;1H\033[0mxy"},
        {"back to blank, a character of three bytes", " −", false, "\033[1;1H\033[0m \xe2\x88\x92"},
    };
    for (const auto &d : draws) {
        PutText(&next, 0, 0, d.change, kStylePlain);
        char chars[256];
        Text out = TEXT_IN(chars);
        EXPECT_TRUE(DrawDifferences(&next, &shown, d.whole, &out));
        EXPECT_EQ(std::string(chars), d.bytes) << d.what;
    }
}

} // namespace
} // namespace test
