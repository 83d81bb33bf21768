// The stand-in statistics service on a machine shared with other users and
// careless scripts: its blocks held, whole and removed at its end.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "board_fixture.h"
#include "support/block.h"

namespace test {
namespace {

const int32_t kBoard = 424248, kOtherBoard = 424249;
const std::string kNumber = std::to_string(kBoard);

// The record in the board's block now; nothing while there is no whole one.
std::optional<PrpValue> Published(int32_t boardIndex = kBoard) {
    int fd = shm_open(BlockName(boardIndex).c_str(), O_RDONLY, 0);
    PrpValue record;
    bool whole = fd >= 0 && pread(fd, &record, sizeof record, 0) == (ssize_t)sizeof record;
    if (fd >= 0)
        close(fd);
    return whole ? std::optional<PrpValue>(record) : std::nullopt;
}

bool Within(Seconds limit, const std::function<bool()> &condition) {
    for (auto end = std::chrono::steady_clock::now() + limit; !condition();)
        if (std::chrono::steady_clock::now() > end)
            return false;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return true;
}

// How many bytes the process has read so far, by any means; -1 when that
// cannot be told.
long long BytesRead(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    for (std::string name; io >> name;)
        if (name == "rchar:" && io >> name)
            return std::stoll(name);
    return -1;
}

struct Service : Running {
    explicit Service(const std::vector<std::string> &arguments = {kNumber})
        : Running(Command(arguments), "", {}, Errors::kWithOutput) {
        EXPECT_TRUE(WaitFor("publishing\n"));
    }
    static std::vector<std::string> Command(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), Program("RiDuvOzi.exe"));
        return arguments;
    }
};

// Another user's truncation ends neither the service nor its monitors.
TEST(Service, MakesItsBlockWholeAgain) {
    Service service;
    std::vector<std::unique_ptr<Running>> monitors;
    for (const char *monitor : {"WatchLinkStatus", "WatchTxOctets", "WatchRxCounters"}) {
        monitors.push_back(
            std::make_unique<Running>(std::vector<std::string>{Program(monitor)}, kNumber + "\n"));
        ASSERT_TRUE(monitors.back()->WaitFor("prpValue."));
    }
    int fd = shm_open(BlockName(kBoard).c_str(), O_RDWR, 0);
    ASSERT_EQ(ftruncate(fd, 0), 0);
    close(fd);
    EXPECT_TRUE(
        Within(Seconds(10), [] { return Published().value_or(PrpValue{}).linkStatusA == 1; }));
    shm_unlink(BlockName(kBoard).c_str());
    EXPECT_TRUE(Within(Seconds(10), [] { return Published().has_value(); }));
    for (auto &monitor : monitors)
        EXPECT_EQ(monitor->Stop(SIGTERM).status, 128 + SIGTERM);
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
    EXPECT_FALSE(Published());
}

TEST(Service, RefusedForABoardAnotherServicePublishes) {
    Service first;
    Outcome second = Execute(Service::Command({kNumber}), "", {}, Errors::kWithOutput);
    EXPECT_EQ(second.output, "RiDuvOzi.exe: " + BlockName(kBoard) + ": board " + kNumber +
                                 " is published by another service\n");
    EXPECT_EQ(second.status, 1);
    int32_t before = Published().value().rxGoodOctetsA;
    EXPECT_TRUE(Within(Seconds(10), [&] { return Published().value().rxGoodOctetsA != before; }));
    EXPECT_EQ(first.Stop(SIGTERM).status, 0);
}

// A service started while the board's last one is still ending, as at a
// restart, keeps trying and publishes the board once the other has ended.
TEST(Service, TakesOverFromAServiceThatEnds) {
    Service first;
    Running second(Service::Command({kNumber}), "", {}, Errors::kWithOutput);
    EXPECT_FALSE(second.WaitFor("published by another service", Seconds(0.5)));
    EXPECT_EQ(first.Stop(SIGTERM).status, 0);
    EXPECT_TRUE(second.WaitFor("board " + kNumber + ": publishing\n"));
    EXPECT_TRUE(Published());
    EXPECT_EQ(second.Stop(SIGTERM).status, 0);
    EXPECT_FALSE(Published());
}

// Settings coming faster than the service applies them wait in its input's
// pipe, not in its memory, even while nobody reads its output; and a signal
// ends it without a backlog to apply first, its block removed.
TEST(Service, HoldsBackAFloodOfSettings) {
    Running service({"/bin/bash", "-c", "exec \"$0\" \"$1\" < <(yes \"$1:rxErrA=1\")",
                     Program("RiDuvOzi.exe"), kNumber},
                    "", {}, Errors::kWithOutput);
    ASSERT_TRUE(service.WaitFor("publishing\n"));
    ASSERT_GT(BytesRead(service.Pid()), 0);
    // Its output read no further, it soon waits to write the next answer.
    EXPECT_FALSE(Within(Seconds(1), [&] { return BytesRead(service.Pid()) > 4 << 20; }));
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
    EXPECT_FALSE(Published());
}

// Every signal that ends it by default and can be caught removes its
// blocks; a reader of its output that goes away ends nothing.
TEST(Service, RemovesItsBlocksAtEveryEndingSignal) {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE}) {
        SCOPED_TRACE(strsignal(signal));
        Service service;
        if (signal == SIGPIPE) {
            service.CloseOutput();
            service.Write(kNumber + ":rxErrA=1\n");
            EXPECT_TRUE(Within(Seconds(10), [] { return Published().value().rxErrA == 1; }));
            signal = SIGTERM;
        }
        EXPECT_EQ(service.Stop(signal).status, 0);
        EXPECT_FALSE(Published());
    }
}

TEST(Service, RefusesBadBoardsAndOtherUsersBlocks) {
    shm_unlink(BlockName(kBoard).c_str());
    int fd = shm_open(BlockName(kBoard).c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    EXPECT_EQ(ftruncate(fd, 10), 0);
    bool asRoot = geteuid() == 0 && fchown(fd, 65534, 65534) == 0;
    const std::string other = std::to_string(kOtherBoard);
    std::vector<std::string> many;
    for (int32_t board = kOtherBoard; board < kOtherBoard + 20; board++)
        many.push_back(std::to_string(board));
    const struct {
        std::vector<std::string> arguments;
        std::string output;
        int status;
        std::vector<std::string> before = {}; // the command's start
    } cases[] = {
        {{kNumber},
         "RiDuvOzi.exe: " + BlockName(kBoard) + ": belongs to user nobody; not taken over\n",
         1},
        {{"0x52"}, "RiDuvOzi.exe: not a board index: \"0x52\"\n", 2},
        {{"+82"}, "RiDuvOzi.exe: not a board index: \"+82\"\n", 2},
        {{"82", "82"}, "RiDuvOzi.exe: board 82 given twice\n", 2},
        // Refused before any block is made: no board is said to publish.
        {{other, other + ":linkStatusA=256"},
         "RiDuvOzi.exe: \"" + other +
             ":linkStatusA=256\": the value is a number from 0 to 255, in decimal or 0x "
             "hexadecimal\n",
         2},
        {{other, "82:reset"}, "RiDuvOzi.exe: board 82 is not published here\n", 2},
        // A block keeps a descriptor, and making one takes another: with
        // 16, and 0 to 2 open, 12.
        {many,
         "RiDuvOzi.exe: can hold 12 boards, not 20: each keeps a descriptor open, and it may "
         "open 16 (ulimit -n)\n",
         1,
         {"/bin/bash", "-c",
          "for fd in /proc/$$/fd/*; do [ ${fd##*/} -gt 2 ] && eval \"exec ${fd##*/}>&-\"; done; "
          "exec /usr/bin/prlimit --nofile=16 \"$@\"",
          "bash"}},
    };
    for (const auto &c : cases) {
        if (&c == &cases[0] && !asRoot)
            continue;
        std::vector<std::string> command = c.before;
        for (const std::string &word : Service::Command(c.arguments))
            command.push_back(word);
        Outcome outcome = Execute(command, "", {}, Errors::kWithOutput);
        EXPECT_EQ(outcome.output.substr(0, c.output.size()), c.output) << c.arguments[0];
        EXPECT_EQ(outcome.status, c.status);
    }
    struct stat status;
    EXPECT_EQ(fstat(fd, &status), 0);
    EXPECT_EQ(status.st_size, 10); // left as it was
    // A block of the user's own that no service holds, as a killed service
    // leaves it, is taken over.
    EXPECT_EQ(fchown(fd, geteuid(), getegid()), 0);
    close(fd);
    Service service;
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
    EXPECT_FALSE(Published());
}

// As a real service's, a block changes only when the service publishes: a
// setting read between two publications is not in it before the next, which
// brings it with a second of traffic; its line is said once it is in.
TEST(Service, TakesASettingAtItsNextPublication) {
    Service service({kNumber, kNumber + ":rxGoodOctetsA+=1000"});
    int32_t first = Published().value().rxGoodOctetsA;
    ASSERT_TRUE(Within(Seconds(10), [&] { return Published().value().rxGoodOctetsA != first; }));
    PrpValue before = Published().value(), seen = before;
    service.Write(kNumber + ":rxErrB=7\n");
    ASSERT_TRUE(Within(Seconds(10), [&] {
        seen = Published().value_or(before);
        return seen.rxErrB == 7;
    }));
    EXPECT_NE(seen.rxGoodOctetsA, before.rxGoodOctetsA);
    EXPECT_TRUE(service.WaitFor("board " + kNumber + ": rxErrB held at 7\n", Seconds(10)));
    service.Write(kNumber + ":linkStatusA=0\n");
    ASSERT_TRUE(service.WaitFor("board " + kNumber + ": linkStatusA held at 0\n", Seconds(10)));
    EXPECT_EQ(Published().value().linkStatusA, 0);
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
}

TEST(Service, RatesResetsAndLongLines) {
    Service service({kNumber, std::to_string(kOtherBoard), kNumber + ":rxGoodOctetsA+=1000",
                     kNumber + ":rxGoodOctetsB += 0x1f4"});
    ASSERT_TRUE(
        Within(Seconds(10), [] { return Published().value_or(PrpValue{}).rxGoodOctetsA >= 2000; }));
    PrpValue record = Published().value();
    EXPECT_EQ(record.rxGoodOctetsA, 2 * record.rxGoodOctetsB);
    EXPECT_EQ(record.rxGoodOctetsA % 1000, 0);
    // Both LANs carry nearly the same traffic, by default.
    PrpValue other = Published(kOtherBoard).value();
    EXPECT_NEAR(other.rxGoodOctetsA, other.rxGoodOctetsB, other.rxGoodOctetsA / 100);
    EXPECT_EQ(other.txOctetsA, other.txOctetsB);

    service.Write(std::string(1 << 20, '1') + "\n" + kNumber + ":reset\n");
    ASSERT_TRUE(service.WaitFor("board " + kNumber + ": counters reset\n"));
    EXPECT_LE(Published().value().rxGoodOctetsA, 1000); // not a second later
    EXPECT_NE(service.Output().find("RiDuvOzi.exe: \"" + std::string(40, '1') +
                                    "...\": longer than 200 bytes\n"),
              std::string::npos);
    EXPECT_LT(service.Output().size(), 1000u);
    EXPECT_EQ(service.Stop(SIGTERM).status, 0); // and its blocks with it
}

} // namespace
} // namespace test
