// The programs where the machine around them is broken or hostile: a
// standard output closed at start or failing, input that does not block, a
// block that shrinks or is made again, a service that has ended but has not
// been collected.  Each case once went wrong.
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "support/block.h"

namespace test {
namespace {

const int32_t kBoard = 424244;
const std::string kTyped = std::to_string(kBoard) + "\n";

// A program run by the shell, $0 being the program, standard error in the
// test's pipe and standard output where the script sends it.
std::vector<std::string> Shell(const std::string &script, const std::string &program) {
    return {"/bin/bash", "-c", script, Program(program)};
}

struct Redirection {
    const char *name;
    const char *script;
};
const Redirection kFull = {"Full", "exec \"$0\" 2>&1 >/dev/full"};
const Redirection kClosed = {"Closed", "exec \"$0\" 2>&1 >&-"};
// A pipe whose reader has gone, with SIGPIPE ignored as some service
// managers leave it.
const Redirection kReaderGone = {"ReaderGone",
                                 "trap '' PIPE; { \"$0\" 2>&3 | :; } 3>&1; exit ${PIPESTATUS[0]}"};
// A pipe whose reader has gone before the program starts, SIGPIPE at its
// default.
const Redirection kReaderGoneBefore = {"ReaderGoneBefore",
                                       "exec 2>&1 /usr/bin/perl -e 'pipe(R, W) or die; close R; "
                                       "open(STDOUT, \">&W\") or die; close W; exec @ARGV' \"$0\""};
// No /dev/null to fill a standard input or output closed at start (a mount
// namespace of the run's own, where /dev is empty; as root).
const Redirection kNoNullInput = {"NoNullInput",
                                  "exec /usr/bin/unshare -m /bin/sh -c 'mount -t tmpfs tmpfs /dev "
                                  "|| exit 9; exec \"$0\" 2>&1 <&-' \"$0\""};
const Redirection kNoNullOutput = {"NoNullOutput",
                                   "exec /usr/bin/unshare -m /bin/sh -c 'mount -t tmpfs tmpfs "
                                   "/dev || exit 9; exec \"$0\" 2>&1 >&-' \"$0\""};

struct OutputCase {
    const char *program;
    std::string input;
    Redirection output;
    int status;
    std::string error; // what shows on standard error
    size_t boardCalls;
};

void PrintTo(const OutputCase &c, std::ostream *out) { *out << c.output.script; }

class FailedOutput : public BoardTest, public ::testing::WithParamInterface<OutputCase> {};

// A reader or monitor whose result cannot be shown ends with status 1,
// before it touches the board; a mode switch switches all the same.
TEST_P(FailedOutput, EndsAReaderOrMonitorWithStatus1) {
    const OutputCase &c = GetParam();
    if (std::string(c.output.script).find("unshare") != std::string::npos && geteuid() != 0)
        GTEST_SKIP() << "needs root for a mount namespace";
    Block block(kBoard);
    Outcome outcome =
        Running(Shell(c.output.script, c.program), c.input, Boards()).Finish(Seconds(30));
    EXPECT_EQ(outcome.output, c.error);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(Journal().size(), c.boardCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Output, FailedOutput,
    ::testing::Values(OutputCase{"ShowRxCounter", "1\n2\n1\n", kFull, 1,
                                 "ShowRxCounter: standard output: No space left on device\n", 0},
                      OutputCase{"ShowTxCounter", "1\n2\n", kFull, 1,
                                 "ShowTxCounter: standard output: No space left on device\n", 0},
                      OutputCase{"ShowLinkStatus", "1\n", kClosed, 1,
                                 "ShowLinkStatus: standard output: Bad file descriptor\n", 0},
                      OutputCase{"SelectPrpMode", "1\n", kFull, 0, "", 4},
                      OutputCase{"SelectHsrMode", "1\n", kClosed, 0, "", 4},
                      OutputCase{"WatchTxOctets", kTyped, kFull, 1,
                                 "WatchTxOctets: standard output: No space left on device\n", 0},
                      OutputCase{"WatchRxCounters", kTyped, kReaderGone, 1,
                                 "WatchRxCounters: standard output: Broken pipe\n", 0},
                      OutputCase{"WatchBoards", "", kFull, 1,
                                 "WatchBoards: standard output: No space left on device\n", 0},
                      OutputCase{"WatchBoards", "", kReaderGone, 1,
                                 "WatchBoards: standard output: Broken pipe\n", 0},
                      OutputCase{"ShowLinkStatus", "1\n", kNoNullInput, 1,
                                 "ShowLinkStatus: /dev/null: No such file or directory\n", 0},
                      // A plugin's status is a state: whatever befalls its
                      // answer, UNKNOWN.
                      OutputCase{"check_prp_hsr", "", kReaderGoneBefore, 3,
                                 "check_prp_hsr: standard output: Broken pipe\n", 0},
                      OutputCase{"check_prp_hsr", "", kNoNullInput, 3,
                                 "check_prp_hsr: /dev/null: No such file or directory\n", 0},
                      OutputCase{"check_prp_hsr", "", kNoNullOutput, 3,
                                 "check_prp_hsr: /dev/null: No such file or directory\n", 0}),
    [](const ::testing::TestParamInfo<OutputCase> &info) {
        return std::string(info.param.program) + info.param.output.name;
    });

// Descriptor 1 closed at start must not become the block's: every line the
// monitor printed would go into the record the other monitors read.
TEST(ClosedOutput, LeavesTheBlockAlone) {
    Block block(kBoard);
    block.Record()->txOctetsA = 7;
    Running(Shell(kClosed.script, "WatchRxCounters"), kTyped).Finish(Seconds(30));
    PrpValue expected = {};
    expected.txOctetsA = 7;
    EXPECT_EQ(memcmp(block.Record(), &expected, sizeof expected), 0);
    struct stat status;
    ASSERT_EQ(stat(("/dev/shm" + BlockName(kBoard)).c_str(), &status), 0);
    EXPECT_EQ(status.st_size, (off_t)sizeof(PrpValue));
}

// Whether the process waits in poll(), as a tool waits for input.
bool WaitsInPoll(pid_t pid) {
    std::ifstream call("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    call >> number;
    return number == SYS_poll || number == SYS_ppoll;
}

// Standard input that does not block and has nothing yet is waited for,
// not taken as its end (which would switch board 0).
TEST_F(BoardTest, NonBlockingInputIsWaitedFor) {
    Running tool({"/usr/bin/perl", "-MFcntl", "-e",
                  "fcntl(STDIN, F_SETFL, O_NONBLOCK) or die; exec @ARGV", Program("SelectHsrMode")},
                 "", Boards());
    ASSERT_TRUE(tool.WaitFor(kAsk));
    // Its read has found nothing, and it waits.
    auto end = std::chrono::steady_clock::now() + Seconds(30);
    while (!WaitsInPoll(tool.Pid()) && std::chrono::steady_clock::now() < end)
        usleep(1000);
    EXPECT_TRUE(WaitsInPoll(tool.Pid()));
    tool.Write("3\n");
    EXPECT_EQ(tool.Finish().status, 0);
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{"SelectHsrMode(0x5b)", "SetLinkSpeedMode(0x5b)",
                                        "ConfigureGpioMode(0x5b, 1)", "SetLedValue(0x5b, 1)"}));
}

std::string TxGroup(int a, int b) {
    return "prpValue.txOctetsA = " + std::to_string(a) +
           "\nprpValue.txOctetsB = " + std::to_string(b) + "\n";
}

// A block cut short while a monitor watches ends nothing: the monitor prints
// the last whole record until the block is whole again.
TEST(ShrinkingBlock, MonitorPrintsTheLastRecordUntilItIsWhole) {
    Block block(kBoard);
    block.Record()->txOctetsA = 1;
    block.Record()->txOctetsB = 2;
    Running monitor({Program("WatchTxOctets")}, kTyped);
    ASSERT_TRUE(monitor.WaitFor(TxGroup(1, 2)));
    block.Resize(0);
    EXPECT_TRUE(monitor.WaitFor(TxGroup(1, 2), Seconds(10), 3));
    block.Resize(sizeof(PrpValue));
    block.Record()->txOctetsA = 3;
    block.Record()->txOctetsB = 4;
    EXPECT_TRUE(monitor.WaitFor(TxGroup(3, 4), Seconds(10)));
    EXPECT_EQ(monitor.Stop(SIGTERM).status, 128 + SIGTERM);
}

// A restarted publisher removes its block and makes a new one under the
// same name: the monitor follows it.
TEST(RestartedService, MonitorFollowsTheNewBlock) {
    auto first = std::make_unique<Block>(kBoard);
    first->Record()->txOctetsA = 1;
    Running monitor({Program("WatchTxOctets")}, kTyped);
    ASSERT_TRUE(monitor.WaitFor(TxGroup(1, 0)));
    first.reset();
    EXPECT_TRUE(monitor.WaitFor(TxGroup(1, 0), Seconds(10), 2)); // none yet: the last values
    Block second(kBoard);
    second.Record()->txOctetsA = 5;
    EXPECT_TRUE(monitor.WaitFor(TxGroup(5, 0), Seconds(10)));
}

} // namespace
} // namespace test
