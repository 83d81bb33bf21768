// The three monitors end to end, against blocks the tests make themselves
// and against the stand-in statistics service.  A monitor never ends by
// itself once it watches, so each run is read for a few seconds and stopped.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "prp_value.h"
#include "support/block.h"

namespace test {
namespace {

const char kPrompt[] = "Enter the board index:";
// Board indices no running service is likely to serve.
const int32_t kBoard = 424242;
const int32_t kOtherBoard = -424243;

std::string Typed(int32_t boardIndex) { return std::to_string(boardIndex) + "\n"; }

// A monitor that is expected to end by itself.
Outcome Watch(const char *monitor, const std::string &input) {
    return Running({Program(monitor)}, input).Finish(Seconds(30));
}

struct FailureCase {
    const char *monitor;
    std::string openFailure; // after "Could not open file mapping object (2).\n"
};

const FailureCase kFailures[] = {
    {"WatchLinkStatus", ""},
    {"WatchTxOctets", "Check if ziZidOzevadu is started.\n"},
    {"WatchRxCounters", "Check if ziZidOzevadu is started.\n"},
};

TEST(Monitor, PromptShowsBeforeTheMonitorWaits) {
    shm_unlink(BlockName(kBoard).c_str());
    Running monitor({Program("WatchLinkStatus")});
    EXPECT_TRUE(monitor.WaitFor(kPrompt));
    monitor.Write(Typed(kBoard));
    EXPECT_EQ(monitor.Finish().status, 1);
}

// A block shorter than the record is refused, not read past its end.
TEST(Monitor, ShortBlockIsAMappingFailure) {
    Block block(kBoard, 100);
    for (const FailureCase &c : kFailures) {
        SCOPED_TRACE(c.monitor);
        Outcome outcome = Watch(c.monitor, Typed(kBoard));
        EXPECT_EQ(outcome.output, std::string(kPrompt) + "Could not map view of file (22).\n");
        EXPECT_EQ(outcome.status, 1);
    }
}

TEST(Monitor, BlockWithoutAllAccessFailsAtTheOpen) {
    std::vector<std::string> asOther;
    if (geteuid() == 0) {
        // Root may open anything: watch as nobody instead.
        if (access("/usr/bin/setpriv", X_OK) != 0)
            GTEST_SKIP() << "no setpriv to run a monitor as another user";
        asOther = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    Block block(kBoard, sizeof(PrpValue), geteuid() == 0 ? 0600 : 0400);
    for (const FailureCase &c : kFailures) {
        SCOPED_TRACE(c.monitor);
        std::vector<std::string> command = asOther;
        command.push_back(Program(c.monitor));
        Outcome outcome = Running(command, Typed(kBoard)).Finish(Seconds(30));
        EXPECT_EQ(outcome.output, std::string(kPrompt) +
                                      "Could not open file mapping object (13).\n" + c.openFailure);
        EXPECT_EQ(outcome.status, 1);
    }
}

struct WatchCase {
    const char *monitor;
    std::string group;
};

// The record of kBoard for the cases below.
void Fill(PrpValue *record) {
    record->rxGoodOctetsA = 1000;
    record->rxGoodOctetsB = 2000;
    record->rxErrA = 3;
    record->rxErrB = 4;
    record->txOctetsA = -1; // 0xFFFFFFFF
    record->txOctetsB = INT32_MAX;
    record->linkStatusA = 1;
    record->linkStatusB = 0;
    memset(record->notShown0, 0x77, sizeof record->notShown0);
    memset(record->notShown334, 0x77, sizeof record->notShown334);
}

const WatchCase kWatches[] = {
    {"WatchLinkStatus", "prpValue.linkStatusA = 1\nprpValue.linkStatusB = 0\n"},
    {"WatchTxOctets", "prpValue.txOctetsA = -1\nprpValue.txOctetsB = 2147483647\n"},
    {"WatchRxCounters", "prpValue.rxGoodOctetsA = 1000\nprpValue.rxErrA = 3\n"
                        "prpValue.rxGoodOctetsB = 2000\nprpValue.rxErrB = 4\n"},
};

TEST(Monitor, PrintsItsLinesAtOnceThenEverySecond) {
    Block block(kBoard);
    Fill(block.Record());
    std::vector<std::unique_ptr<Running>> monitors;
    for (const WatchCase &c : kWatches)
        monitors.push_back(
            std::make_unique<Running>(std::vector<std::string>{Program(c.monitor)}, Typed(kBoard)));
    for (size_t i = 0; i < monitors.size(); i++) {
        SCOPED_TRACE(kWatches[i].monitor);
        std::string once = kPrompt + kWatches[i].group;
        std::string twice = once + kWatches[i].group;
        EXPECT_TRUE(monitors[i]->WaitFor(once, Seconds(10)));
        EXPECT_TRUE(monitors[i]->WaitFor(twice, Seconds(10)));
        EXPECT_EQ(monitors[i]->Output().substr(0, twice.size()), twice);
        EXPECT_EQ(monitors[i]->Stop(SIGTERM).status, 128 + SIGTERM);
    }
}

TEST(Monitor, ShowsAChangeInTheNextGroup) {
    Block block(kBoard);
    Fill(block.Record());
    Running monitor({Program("WatchTxOctets")}, Typed(kBoard));
    ASSERT_TRUE(monitor.WaitFor("prpValue.txOctetsB = 2147483647\n", Seconds(10)));
    block.Record()->txOctetsB = INT32_MIN;
    EXPECT_TRUE(monitor.WaitFor("prpValue.txOctetsA = -1\nprpValue.txOctetsB = -2147483648\n",
                                Seconds(10)));
}

TEST(Monitor, UnparsableBoardIndexWatchesBoard0) {
    Block block(0);
    Fill(block.Record());
    Running monitor({Program("WatchLinkStatus")}, "x\n");
    EXPECT_TRUE(monitor.WaitFor(std::string(kPrompt) + kWatches[0].group, Seconds(10)));
}

// The stand-in service: blocks for its boards while it runs, settings on its
// standard input, nothing left behind once it is stopped.
TEST(StatisticsService, PublishesGrowingCountersAndHeldSettings) {
    Running service({Program("RiDuvOzi.exe"), std::to_string(kBoard), std::to_string(kOtherBoard),
                     std::to_string(kOtherBoard) + ":linkStatusB=45"});
    ASSERT_TRUE(service.WaitFor("linkStatusB held at 45\n"));

    Running links({Program("WatchLinkStatus")}, Typed(kOtherBoard));
    EXPECT_TRUE(links.WaitFor(std::string(kPrompt) +
                                  "prpValue.linkStatusA = 1\nprpValue.linkStatusB = 45\n",
                              Seconds(10)));

    Running tx({Program("WatchTxOctets")}, Typed(kBoard));
    ASSERT_TRUE(tx.WaitFor("prpValue.txOctetsB = ", Seconds(10)));
    ASSERT_TRUE(tx.WaitFor("\n", Seconds(10)));
    service.Write(std::to_string(kBoard) + ":txOctetsA=4294967295\n");
    EXPECT_TRUE(tx.WaitFor("prpValue.txOctetsA = -1\n", Seconds(10)));

    // The other counter grows: between a group and the one two seconds later
    // the service has published at least once.
    ASSERT_TRUE(tx.WaitFor("prpValue.txOctetsA = ", Seconds(10), 4)); // three whole groups
    std::vector<long long> txOctetsB;
    for (size_t line = 0;
         (line = tx.Output().find("prpValue.txOctetsB = ", line + 1)) != std::string::npos;)
        txOctetsB.push_back(std::stoll(tx.Output().substr(line + 21)));
    ASSERT_GE(txOctetsB.size(), 3u);
    EXPECT_LT(txOctetsB[0], txOctetsB[2]);

    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
    Outcome after = Watch("WatchRxCounters", Typed(kBoard));
    EXPECT_EQ(after.output, std::string(kPrompt) + "Could not open file mapping object (2).\n"
                                                   "Check if ziZidOzevadu is started.\n");
    EXPECT_EQ(after.status, 1);
}

} // namespace
} // namespace test
