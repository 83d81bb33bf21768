// What check_prp_hsr keeps between checks and what it reads of the
// exporter's file, called directly: the state's text, whole or not; the
// exporter's samples; the state file's name for a set of arguments; and the
// state file's faults, on files of the test's own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <fstream>
#include <string>
#include <vector>

#include "deadline.h"
#include "exporter.h"
#include "memory.h"
#include "parse_words.h"
#include "state.h"

namespace {

const std::string kHead = "check_prp_hsr state 1\nchecked 1765000000000\n";
const std::string kBoard3 =
    "board 3 live record 1764999999500 1000000000 1 0 10 20 30 40 4294967295 0"
    " exporter 1764999999000 1 - 2 - 3 4 5 6 7 8\n";

struct StateCase {
    const char *name;
    std::string text;
    MemoryRead read;
    int count;
};

const StateCase kStates[] = {
    {"whole", kHead + kBoard3 + "board 5 gone away 1764999000000\nend\n", kMemoryWhole, 2},
    {"no boards", kHead + "end\n", kMemoryWhole, 0},
    {"another version", "check_prp_hsr state 2\nanything at all\n", kMemoryOtherVersion, 0},
    {"empty", "", kMemoryDamaged, 0},
    {"not a state", "PRP-HSR OK - 1 board\n", kMemoryDamaged, 0},
    {"no end: cut at a line", kHead + kBoard3, kMemoryDamaged, 0},
    {"cut within a line", kHead + kBoard3.substr(0, 40), kMemoryDamaged, 0},
    {"no line end after end", kHead + "end", kMemoryDamaged, 0},
    {"more after end", kHead + "end\nboard 4 live\n", kMemoryDamaged, 0},
    {"a counter beyond 32 bits",
     kHead + "board 3 live record 1 1000000000 1 1 4294967296 0 0 0 0 0\nend\n", kMemoryDamaged, 0},
    {"a link status beyond a byte", kHead + "board 3 live record 1 1000 256 1 0 0 0 0 0 0\nend\n",
     kMemoryDamaged, 0},
    {"no speed", kHead + "board 3 live record 1 0 1 1 0 0 0 0 0 0\nend\n", kMemoryDamaged, 0},
    {"a total beyond 64 bits",
     kHead + "board 3 live exporter 1 18446744073709551616 0 0 0 0 0 0 0 0 0\nend\n",
     kMemoryDamaged, 0},
    {"a sign", kHead + "board 3 live record 1 1000 1 1 -1 0 0 0 0 0\nend\n", kMemoryDamaged, 0},
    {"a counter missing", kHead + "board 3 live record 1 1000 1 1 0 0 0 0 0\nend\n", kMemoryDamaged,
     0},
    {"no such state", kHead + "board 3 asleep\nend\n", kMemoryDamaged, 0},
    {"gone, not away", kHead + "board 3 gone\nend\n", kMemoryDamaged, 0},
    {"away after the check", kHead + "board 3 gone away 1765000000001\nend\n", kMemoryDamaged, 0},
    {"out of order", kHead + "board 5 live\nboard 3 live\nend\n", kMemoryDamaged, 0},
    {"twice", kHead + "board 3 live\nboard 3 live\nend\n", kMemoryDamaged, 0},
    {"a check in year 37000", "check_prp_hsr state 1\nchecked 1125899906842625\nend\n",
     kMemoryDamaged, 0},
};

TEST(State, ReadWholeOrNotAtAll) {
    static Memory memory;
    for (const StateCase &c : kStates) {
        EXPECT_EQ(ParseMemory(c.text.data(), c.text.size(), &memory), c.read) << c.name;
        EXPECT_EQ(memory.count, c.count) << c.name;
    }
}

TEST(State, WrittenAsRead) {
    static Memory memory;
    std::string text = kHead + kBoard3 + "board 5 gone away 1764999000000\nend\n";
    ASSERT_EQ(ParseMemory(text.data(), text.size(), &memory), kMemoryWhole);
    const RememberedBoard *board = Remembered(&memory, 3);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->counter[kLanA][kRxErrors], 4294967295u);
    EXPECT_EQ(board->counter[kLanB][kTxOctets], 40u);
    EXPECT_EQ(board->linkStatus[kLanB], 0);
    EXPECT_TRUE(TotalKnown(&board->totals, kLanA, kTotalLosses));
    EXPECT_FALSE(TotalKnown(&board->totals, kLanB, kTotalLosses));
    EXPECT_EQ(board->totals.total[kLanB][kTotalTransmitted], 8u);
    EXPECT_EQ(Remembered(&memory, 4), nullptr);
    Text written = GrowingText();
    AppendMemory(&written, &memory);
    EXPECT_EQ(std::string(written.chars, written.length), text);
    free(written.chars);
}

// The exporter's samples as WatchBoards writes them, and what is left aside.
TEST(Exporter, TotalsOfEachBoardAndLan) {
    static ExporterFile file;
    std::string text =
        "# HELP prp_hsr_exporter_build_info The version.\n"
        "prp_hsr_exporter_build_info{version=\"1.0.0\"} 1\n"
        "prp_hsr_link_losses_total{board=\"7\",lan=\"A\"} 3\n"
        "prp_hsr_link_losses_total{board=\"-2\",lan=\"B\"} 18446744073709551615\n"
        "prp_hsr_link_down_seconds_total{board=\"7\",lan=\"A\"} 30 1765000000000\r\n"
        "prp_hsr_receive_errors_total{lan=\"B\",board=\"7\"} 12\n"
        "prp_hsr_receive_good_bytes_total{board=\"7\",lan=\"A\",name=\"a \\\"b\\\" c\"} 5\n"
        "prp_hsr_transmit_bytes_total{board=\"7\",lan=\"A\"} 1.5e3\n"                // not whole
        "prp_hsr_transmit_bytes_total{board=\"7\",lan=\"B\"} 18446744073709551616\n" // beyond
        "prp_hsr_transmit_bytes_total{board=\"8\"} 1\n"                              // no LAN
        "prp_hsr_transmit_bytes_total{board=\"x\",lan=\"A\"} 1\n"                    // no board
        "prp_hsr_link_status{board=\"9\",lan=\"A\"} 1\n"                             // not a total
        "prp_hsr_link_losses_total_other{board=\"9\",lan=\"A\"} 1\n"
        "prp_hsr_link_losses_total{board=\"9\",lan=\"A\"} 4"; // no line end: still a sample
    ParseExporterFile(text.data(), text.size(), &file);
    EXPECT_TRUE(file.exporters);
    ASSERT_EQ(file.count, 3);
    EXPECT_EQ(file.boards[0].boardIndex, -2);
    const BoardTotals *seven = TotalsOf(&file, 7);
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(seven->total[kLanA][kTotalLosses], 3u);
    EXPECT_EQ(seven->total[kLanA][kTotalDownSeconds], 30u);
    EXPECT_EQ(seven->total[kLanB][kTotalErrors], 12u);
    EXPECT_EQ(seven->total[kLanA][kTotalReceived], 5u);
    EXPECT_FALSE(TotalKnown(seven, kLanA, kTotalTransmitted));
    EXPECT_FALSE(TotalKnown(seven, kLanB, kTotalTransmitted));
    EXPECT_EQ(TotalsOf(&file, -2)->total[kLanB][kTotalLosses], UINT64_MAX);
    EXPECT_EQ(TotalsOf(&file, 9)->total[kLanA][kTotalLosses], 4u);
    EXPECT_EQ(TotalsOf(&file, 8), nullptr);

    std::string other = "node_time_seconds 1\nprp_hsr_link_losses_total{board=\"1\",lan=\"A\"} 1\n";
    ParseExporterFile(other.data(), other.size(), &file);
    EXPECT_FALSE(file.exporters);
}

// The state file's name: the arguments that change the verdict, in one
// order, whatever order they are given in.
std::string Key(std::vector<std::string> arguments) {
    static CheckOptions options;
    EXPECT_EQ(ParseWords(&arguments, &options), -1);
    char key[17];
    Text text = TEXT_IN(key);
    AppendStateKey(&text, &options);
    return key;
}

TEST(State, ItsNameFromTheArgumentsThatChangeTheVerdict) {
    std::string key = Key({"-w", "10", "-s", "3=100M", "-s", "1=10G", "5", "3"});
    EXPECT_EQ(key.size(), 16u);
    EXPECT_EQ(Key({"3", "-s", "1=10G", "5", "--warning=10", "-s3=100M", "-t", "20", "--state-dir",
                   "/x", "--no-state"}),
              key);
    for (std::vector<std::string> other :
         {std::vector<std::string>{"-w", "10", "-s", "3=100M", "-s", "1=10G", "5"},
          {"-w", "10", "-s", "3=100M", "-s", "1=10G", "5", "3", "-c", "30"},
          {"-w", "10", "-s", "3=1G", "-s", "1=10G", "5", "3"},
          {"-w", "10", "-s", "3=100M", "-s", "1=10G", "5", "3", "--losses-warning", "1"},
          {"-w", "10", "-s", "3=100M", "-s", "1=10G", "5", "3", "--textfile", "/x.prom"},
          {"-w", "10", "-s", "3=100M", "-s", "1=10G", "5", "3", "--forget", "60"}})
        EXPECT_NE(Key(other), key) << other.back();
}

// The state file's faults, each on a state folder of its own.
class StateFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "state.XXXXXX";
#ifdef _WIN32
        ASSERT_NE(_mktemp(folder), nullptr);
        ASSERT_EQ(mkdir(folder), 0);
#else
        ASSERT_NE(mkdtemp(folder), nullptr);
#endif
        folder_ = folder;
        path_ = folder_ + "/state";
        memory_.checkedMs = 1765000000000;
        memory_.count = 0;
    }
    void TearDown() override {
        std::string command = "rm -rf " + folder_;
#ifdef _WIN32
        command = "rmdir /s /q " + folder_;
#endif
        EXPECT_EQ(system(command.c_str()), 0);
    }
    void Write(const std::string &path, const std::string &text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string Contents(const std::string &path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    // Recalls the state now, then keeps it: what was recalled, and said.
    Recalled Recall(std::string *said, uint64_t nowMs = 1765000001000) {
        Text note = GrowingText();
        Recalled recalled = RecallMemory(path_.c_str(), nowMs, &recalled_, &note);
        *said = note.length != 0 ? std::string(note.chars, note.length) : "";
        free(note.chars);
        return recalled;
    }
    bool Keep(std::string *said) {
        Text note = GrowingText();
        bool kept = KeepMemory(path_.c_str(), &memory_, &note);
        *said = note.length != 0 ? std::string(note.chars, note.length) : "";
        free(note.chars);
        return kept;
    }

    std::string folder_, path_;
    Memory memory_, recalled_;
};

const std::string kAfresh = "; started afresh, only what one look sees is judged\n";

TEST_F(StateFile, KeptAndRecalled) {
    std::string said;
    EXPECT_EQ(Recall(&said), kFirstCheck);
    EXPECT_EQ(said, "first check: only what one look sees is judged\n");
    ASSERT_TRUE(Keep(&said)) << said;
    EXPECT_EQ(Contents(path_), kHead + "end\n");
    EXPECT_EQ(Recall(&said), kRecalled);
    EXPECT_EQ(said, "");
    EXPECT_EQ(recalled_.checkedMs, 1765000000000u);
    // A clock gone back: the state is of a later time than now.
    EXPECT_EQ(Recall(&said, 1764999999999), kStartedAfresh);
    EXPECT_EQ(said, path_ + ": written later than now (the clock went back)" + kAfresh);
}

TEST_F(StateFile, DamagedOrOfAnotherVersionStartsAfresh) {
    std::string said;
    Write(path_, kHead + kBoard3); // cut short
    EXPECT_EQ(Recall(&said), kStartedAfresh);
    EXPECT_EQ(said, path_ + ": damaged" + kAfresh);
    EXPECT_EQ(recalled_.count, 0);
    Write(path_, "check_prp_hsr state 2\n");
    EXPECT_EQ(Recall(&said), kStartedAfresh);
    EXPECT_EQ(said, path_ + ": of another version" + kAfresh);
    Write(path_, std::string(1024 * 512, 'x'));
    EXPECT_EQ(Recall(&said), kStartedAfresh);
    EXPECT_EQ(said, path_ + ": damaged" + kAfresh);
    ASSERT_TRUE(Keep(&said));
    EXPECT_EQ(Recall(&said), kRecalled);
}

#ifndef _WIN32
// A link or a FIFO at the name is neither followed nor waited on, and the
// state replaces it; what the link leads to is left as it was.
TEST_F(StateFile, ALinkOrAFifoIsReplacedNotFollowed) {
    std::string said, target = folder_ + "/elsewhere";
    Write(target, kHead + "end\n");
    ASSERT_EQ(symlink("elsewhere", path_.c_str()), 0);
    EXPECT_EQ(Recall(&said), kStartedAfresh);
    EXPECT_EQ(said, path_ + ": not a regular file; replaced, only what one look sees is judged\n");
    memory_.checkedMs = 1765000000500;
    ASSERT_TRUE(Keep(&said)) << said;
    struct stat status;
    ASSERT_EQ(lstat(path_.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(Contents(target), kHead + "end\n");

    ASSERT_EQ(unlink(path_.c_str()), 0);
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    EXPECT_EQ(Recall(&said), kStartedAfresh); // at once: nobody writes the FIFO
    ASSERT_TRUE(Keep(&said));
    EXPECT_EQ(Recall(&said), kRecalled);
}

// What a process of another user finds: a file of ours is neither read nor
// replaced, and a folder of ours (0755) cannot take its state.
TEST_F(StateFile, AnotherUsersFileAndAFolderThatMayNotBeWritten) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to be another user";
    std::string said;
    ASSERT_TRUE(Keep(&said));
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(path_.c_str(), 0644), 0); // which it may read
    int pipe_[2];
    ASSERT_EQ(pipe(pipe_), 0);
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(125);
        Recalled recalled = Recall(&said);
        std::string both = said + "|";
        path_ = folder_ + "/new";
        bool kept = Keep(&said);
        both += said;
        if (write(pipe_[1], both.data(), both.size()) != (ssize_t)both.size())
            _exit(124);
        _exit(recalled == kNotKept && !kept ? 0 : 1);
    }
    close(pipe_[1]);
    char got[1024];
    ssize_t length = read(pipe_[0], got, sizeof got);
    close(pipe_[0]);
    int status;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(std::string(got, length > 0 ? (size_t)length : 0),
              "state not kept: " + path_ + ": belongs to user 0, neither read nor replaced\n|" +
                  "state not kept: " + folder_ + "/new: Permission denied\n");
    EXPECT_EQ(Contents(path_), kHead + "end\n");
}

// No -t is short enough for a check to run out of it now: the deadline
// itself, in a process of its own, writes its line and ends it with 3
// while it waits.
TEST(Deadline, EndsAWaitWithItsLine) {
    int pipe_[2];
    ASSERT_EQ(pipe(pipe_), 0);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipe_[1], STDOUT_FILENO);
        SetDeadline(1, "PRP-HSR UNKNOWN - timed out after 1 s\n");
        PauseMilliseconds(20000);
        _exit(0);
    }
    close(pipe_[1]);
    std::string output;
    char got[256];
    for (ssize_t length; (length = read(pipe_[0], got, sizeof got)) > 0;)
        output.append(got, (size_t)length);
    close(pipe_[0]);
    int status;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
    EXPECT_EQ(output, "PRP-HSR UNKNOWN - timed out after 1 s\n");
}
#endif

} // namespace
