// WatchBoards end to end, in lines: against blocks the tests make, remove
// and make again, as a service that stops and starts does.
#include <signal.h>

#include <memory>
#include <string>

#include "board_fixture.h"
#include "support/block.h"

namespace test {
namespace {

const int32_t kBoard = 424246;
const int32_t kNewBoard = 424247;

// The line of a board, the time left out.
std::string LineOf(int32_t boardIndex, const std::string &rest) {
    return "\t" + std::to_string(boardIndex) + "\t" + rest + "\n";
}

TEST(WatchBoards, FollowsABlockThatVanishesAndComesBack) {
    auto block = std::make_unique<Block>(kBoard);
    block->Record()->rxGoodOctetsA = -1; // 4294967295: unsigned
    block->Record()->linkStatusA = 1;
    Running view({Program("WatchBoards"), std::to_string(kBoard)});
    ASSERT_TRUE(view.WaitFor("\ttxDivergence\tdivergent\trxErrSinceStartA\trxErrSinceStartB\t"
                             "resets\n"));
    EXPECT_TRUE(view.WaitFor(
        LineOf(kBoard, "live\t1\t0\t4294967295\t0\t0\t0\t0\t0\t\t\t\t\t\t\t\t\t\t0\t0\t0\t0")));
    block.reset();
    EXPECT_TRUE(
        view.WaitFor(LineOf(kBoard, "gone\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t0\t0\t0\t0"), Seconds(3)));
    block = std::make_unique<Block>(kBoard);
    block->Record()->rxErrB = 3;
    // A service that started again: a gap, a reset, its errors counted.
    EXPECT_TRUE(view.WaitFor(
        LineOf(kBoard, "live\t0\t0\t0\t0\t0\t0\t0\t3\t\t\t\t\t\t\t\t\t\t0\t0\t3\t1"), Seconds(3)));
    EXPECT_EQ(view.Stop(SIGTERM).status, 0);
}

TEST(WatchBoards, PicksUpABoardThatAppears) {
    shm_unlink(BlockName(kNewBoard).c_str());
    Running view({Program("WatchBoards"), "--json"});
    usleep(1200000); // a round or two without it
    Block block(kNewBoard);
    EXPECT_TRUE(view.WaitFor("\"board\":" + std::to_string(kNewBoard) + ",\"state\":\"live\"",
                             Seconds(3)));
    EXPECT_EQ(view.Stop(SIGINT).status, 0);
}

} // namespace
} // namespace test
