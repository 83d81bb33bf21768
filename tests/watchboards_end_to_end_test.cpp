// WatchBoards end to end, in lines: against blocks the tests make, remove
// and make again, as a service that stops and starts does.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/fanotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "support/block.h"

namespace test {
namespace {

const int32_t kBoard = 424246;
const int32_t kNewBoard = 424247;
const int32_t kManyBoards = 424300; // and the 99 after it

// The members of a line of JSON by name, their values as written (12,
// "live", null): WatchBoards' values hold no comma.
std::map<std::string, std::string> Members(std::string line) {
    std::map<std::string, std::string> members;
    if (line.size() < 2 || line.front() != '{' || line.back() != '}')
        return members;
    std::istringstream in(line.substr(1, line.size() - 2));
    for (std::string member; std::getline(in, member, ',');) {
        size_t colon = member.find("\":");
        members[member.substr(1, colon - 1)] = member.substr(colon + 2);
    }
    return members;
}

// Waits for a line whose members include these.
bool WaitForLine(Running &view, const std::map<std::string, std::string> &wanted,
                 Seconds limit = Seconds(30)) {
    auto end = std::chrono::steady_clock::now() + limit;
    size_t checked = view.Output().size();
    int seen = (int)std::count(view.Output().begin(), view.Output().end(), '\n');
    for (int lines = seen + 1;; lines++) {
        if (!view.WaitFor("\n", end - std::chrono::steady_clock::now(), lines))
            return false;
        const std::string &output = view.Output();
        for (size_t eol; (eol = output.find('\n', checked)) != std::string::npos; checked = eol + 1) {
            std::map<std::string, std::string> members =
                Members(output.substr(checked, eol - checked));
            bool all = true;
            for (const auto &[name, value] : wanted)
                all &= members.count(name) != 0 && members[name] == value;
            if (all)
                return true;
        }
    }
}

TEST(WatchBoards, FollowsABlockThatVanishesAndComesBack) {
    auto block = std::make_unique<Block>(kBoard);
    block->Record()->rxGoodOctetsA = -1; // 4294967295: unsigned
    block->Record()->rxErrB = 2;
    block->Record()->linkStatusA = 1;
    Running view({Program("WatchBoards"), "--json", std::to_string(kBoard)});
    EXPECT_TRUE(WaitForLine(view, {{"state", "\"live\""},
                                   {"linkStatusA", "1"},
                                   {"rxGoodOctetsA", "4294967295"},
                                   {"rxErrB", "2"},
                                   {"rxErrSinceStartB", "0"},
                                   {"resets", "0"}}));
    block.reset();
    EXPECT_TRUE(WaitForLine(view, {{"state", "\"gone\""},
                                   {"linkStatusA", "null"},
                                   {"rxGoodOctetsA", "null"},
                                   {"rxErrSinceStartB", "0"},
                                   {"resets", "0"}}));
    block = std::make_unique<Block>(kBoard);
    block->Record()->rxErrB = 3;
    // A service that started again: a gap and a reset.  What it counted
    // before is unknown, so it adds nothing to the errors since the start.
    EXPECT_TRUE(WaitForLine(view, {{"state", "\"live\""},
                                   {"rxGoodOctetsA", "0"},
                                   {"rxErrB", "3"},
                                   {"rxGoodOctetsDeltaA", "null"},
                                   {"rxErrSinceStartB", "0"},
                                   {"resets", "1"}}));
    // Then it counts on.
    block->Record()->rxErrB = 5;
    EXPECT_TRUE(WaitForLine(view, {{"rxErrDeltaB", "2"}, {"rxErrSinceStartB", "2"}}));
    EXPECT_EQ(view.Stop(SIGTERM).status, 0);
}

// 100 boards with counters ten digits wide: every published board, in
// increasing order, each round's lines whole.
TEST(WatchBoards, EveryBoardInOrderEveryLineWhole) {
    std::vector<std::unique_ptr<Block>> blocks;
    for (int32_t board = kManyBoards + 99; board >= kManyBoards; board--) {
        blocks.push_back(std::make_unique<Block>(board));
        PrpValue *record = blocks.back()->Record();
        record->rxGoodOctetsA = record->rxGoodOctetsB = record->txOctetsA = -1;
        record->txOctetsB = record->rxErrA = record->rxErrB = -1;
    }
    Outcome outcome = Running({Program("WatchBoards"), "--json", "-n", "2"}).Finish(Seconds(60));
    EXPECT_EQ(outcome.status, 0);
    std::vector<int32_t> boards;
    std::istringstream lines(outcome.output);
    for (std::string line; std::getline(lines, line);) {
        std::map<std::string, std::string> members = Members(line);
        ASSERT_EQ(members.size(), 34u) << line;
        int32_t board = std::stoi(members["board"]);
        if (board >= kManyBoards && board < kManyBoards + 100)
            boards.push_back(board);
    }
    std::vector<int32_t> expected;
    for (int round = 0; round < 2; round++)
        for (int32_t board = kManyBoards; board < kManyBoards + 100; board++)
            expected.push_back(board);
    EXPECT_EQ(boards, expected);
}

// A request to end while a write waits on a pipe nobody reads ends the
// program at once, as it asks: status 0, nothing said, and what the pipe
// holds whole lines.
TEST(WatchBoards, EndsWhileItsOutputWaits) {
    std::vector<std::unique_ptr<Block>> blocks;
    for (int32_t board = kManyBoards; board < kManyBoards + 100; board++)
        blocks.push_back(std::make_unique<Block>(board));
    for (int signal : {SIGTERM, SIGINT}) {
        // A pipe of a page, which a round of 100 boards overfills: once it
        // holds most of a page, WatchBoards waits to write the rest.
        int stalled[2];
        ASSERT_EQ(pipe(stalled), 0);
        fcntl(stalled[0], F_SETFD, FD_CLOEXEC);
        fcntl(stalled[0], F_SETPIPE_SZ, 4096);
        Running view({"/bin/sh", "-c", "exec \"$0\" --json >&" + std::to_string(stalled[1]),
                      Program("WatchBoards")},
                     "", {}, Errors::kWithOutput);
        close(stalled[1]);
        int held = 0;
        for (auto end = std::chrono::steady_clock::now() + Seconds(30);
             held < 3072 && std::chrono::steady_clock::now() < end; usleep(10000))
            ioctl(stalled[0], FIONREAD, &held);
        EXPECT_GE(held, 3072) << signal;
        Outcome outcome = view.Stop(signal);
        EXPECT_EQ(outcome.status, 0) << signal;
        EXPECT_EQ(outcome.output, "") << signal;
        std::string lines;
        char buffer[4096];
        for (ssize_t n; (n = read(stalled[0], buffer, sizeof buffer)) > 0;)
            lines.append(buffer, (size_t)n);
        close(stalled[0]);
        ASSERT_FALSE(lines.empty()) << signal;
        EXPECT_EQ(lines.back(), '\n')
            << lines.substr(lines.size() - std::min<size_t>(lines.size(), 80));
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);)
            EXPECT_EQ(Members(line).size(), 34u) << line;
    }
}

TEST(WatchBoards, PicksUpABoardThatAppears) {
    shm_unlink(BlockName(kNewBoard).c_str());
    Block there(kBoard);
    Running view({Program("WatchBoards"), "--json"});
    // Two rounds without it.
    ASSERT_TRUE(view.WaitFor("\"board\":" + std::to_string(kBoard) + ",", Seconds(30), 2));
    EXPECT_EQ(view.Output().find("\"board\":" + std::to_string(kNewBoard) + ","),
              std::string::npos);
    Block block(kNewBoard);
    EXPECT_TRUE(view.WaitFor("\"board\":" + std::to_string(kNewBoard) + ",\"name\":null,\"state\":\"live\"",
                             Seconds(30)));
    EXPECT_EQ(view.Stop(SIGINT).status, 0);
}

// The metrics file: what a collector finds in the folder after a run that
// could not write it, and after one ended by a signal.
std::string FolderListing(const std::string &folder) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string() + (entry.is_symlink() ? "@" : ""));
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string &name : names)
        listing += name + " ";
    return listing;
}

std::string Contents(const std::string &path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The file's contents once they hold text, or when the time is up.
std::string WaitForContents(const std::string &path, const std::string &text,
                            Seconds limit = Seconds(30)) {
    auto end = std::chrono::steady_clock::now() + limit;
    std::string contents = Contents(path);
    while (contents.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
        usleep(20000);
        contents = Contents(path);
    }
    return contents;
}

// The series a metrics file of kBoard, live, holds.
const std::string kLiveSeries =
    "prp_hsr_board_state{board=\"" + std::to_string(kBoard) + "\",state=\"live\"} 1\n";

std::vector<std::string> AsNobody() {
    return {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

// Each failure names the file it failed on: the temporary one (its 16
// unguessable digits shown here as #) where it is made or written, the
// file where it is put in place; its control characters escaped.
TEST(Textfile, FailuresSayWhyAndLeaveNothingBehind) {
    Block block(kBoard);
    TemporaryDirectory folder;
    std::string file = folder.Path() + "/boards.prom";
    std::string temporary = folder.Path() + "/.boards.prom.#";
    struct Failure {
        const char *what;
        std::vector<std::string> before; // the command's start
        std::string file;
        std::string error;
        std::string after = "";   // more output, after the program's
        std::string listing = ""; // the folder's, after
    };
    std::vector<Failure> failures = {
        {"no such folder",
         {},
         folder.Path() + "/none\x1b[2J\n/boards.prom",
         "WatchBoards: " + folder.Path() +
             "/none\\033[2J\\012/.boards.prom.#: No such file or directory"},
        {"a folder in its place",
         {"/bin/sh", "-c", "mkdir \"$3\" && exec \"$@\"", "sh"},
         file,
         "WatchBoards: " + file + ": Is a directory",
         "",
         "boards.prom "},
    };
    if (geteuid() == 0) {
        // A folder the user cannot write; a full disk, a small tmpfs in a
        // mount namespace of the run's own: the first round fits, the
        // second's file beside the first does not, so the first stays.
        failures.push_back({"not writable", AsNobody(), file,
                            "WatchBoards: " + temporary + ": Permission denied"});
        failures.push_back({"full",
                            {"/usr/bin/unshare", "-m", "/bin/sh", "-c",
                             "mount -t tmpfs -o size=4k tmpfs \"$0\" || exit 9; \"$@\"; "
                             "status=$?; ls -A \"$0\"; exit $status",
                             folder.Path()},
                            file,
                            "WatchBoards: " + temporary + ": No space left on device",
                            "boards.prom\n"});
    }
    for (const Failure &f : failures) {
        std::vector<std::string> command = f.before;
        for (const std::string &word : {Program("WatchBoards"), std::string("--textfile"), f.file,
                                        std::string("-n"), std::string("3"), std::to_string(kBoard)})
            command.push_back(word);
        Outcome outcome = Running(command, "", {}, Errors::kWithOutput).Finish(Seconds(60));
        EXPECT_EQ(outcome.status, 1) << f.what;
        EXPECT_EQ(std::regex_replace(outcome.output, std::regex("\\.[0-9a-f]{16}:"), ".#:"),
                  f.error + "\n" + f.after)
            << f.what;
        EXPECT_EQ(FolderListing(folder.Path()), f.listing) << f.what;
        std::filesystem::remove_all(file);
    }
}

// A signal whose default ends WatchBoards, coming while the metrics file is
// being written, ends it only once no temporary file is left: the
// temporary's opening is held (fanotify, as root) while the signal comes.
TEST(Textfile, NoTemporaryLeftBySignalsAtTheirDefault) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root for fanotify";
    Block block(kBoard);
    for (int signal : {SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM}) {
        SCOPED_TRACE(strsignal(signal));
        TemporaryDirectory folder;
        int watch = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
        ASSERT_GE(watch, 0);
        ASSERT_EQ(fanotify_mark(watch, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD,
                                folder.Path().c_str()),
                  0);
        Running view({"/bin/bash", "-c", "ulimit -c 0; exec \"$0\" \"$@\"", Program("WatchBoards"),
                      "--textfile", folder.Path() + "/boards.prom", std::to_string(kBoard)});
        pollfd opening = {watch, POLLIN, 0};
        ASSERT_EQ(poll(&opening, 1, 30000), 1);
        fanotify_event_metadata event;
        ASSERT_EQ(read(watch, &event, sizeof event), (ssize_t)sizeof event);
        EXPECT_EQ(event.pid, view.Pid());
        kill(view.Pid(), signal);
        fanotify_response allowed = {event.fd, FAN_ALLOW};
        EXPECT_EQ(write(watch, &allowed, sizeof allowed), (ssize_t)sizeof allowed);
        close(event.fd);
        close(watch);
        EXPECT_EQ(view.Finish(Seconds(30)).status, 128 + signal);
        std::string listing = FolderListing(folder.Path());
        EXPECT_TRUE(listing == "" || listing == "boards.prom ") << listing;
    }
}

// Where a temporary file of a fixed name (FILE.tmp) would be in the way:
// another user's, made first in a shared sticky folder; a second writer of
// the same file; a name that leaves no room for a suffix.  Each writer
// writes the file and says nothing, and what was in the way stays.
TEST(Textfile, WritesWhereAFixedTemporaryNameWouldFail) {
    Block block(kBoard);
    const struct {
        const char *what;
        std::string name;
        int writers;
        bool sticky; // a sticky folder where root made NAME.tmp, written as nobody
    } cases[] = {
        {"another user's NAME.tmp", "boards.prom", 1, true},
        {"two writers", "boards.prom", 2, false},
        {"a name of 255 bytes", std::string(250, 'b') + ".prom", 1, false},
    };
    for (const auto &c : cases) {
        if (c.sticky && geteuid() != 0)
            continue; // only root can be another user
        TemporaryDirectory folder;
        std::string file = folder.Path() + "/" + c.name;
        std::vector<std::string> command;
        if (c.sticky) {
            chmod(folder.Path().c_str(), 01777);
            std::ofstream(file + ".tmp") << "kept\n";
            command = AsNobody();
        }
        for (const std::string &word : {Program("WatchBoards"), std::string("--textfile"), file,
                                        std::string("-n"), std::string("3"), std::to_string(kBoard)})
            command.push_back(word);
        std::vector<std::unique_ptr<Running>> writers;
        for (int i = 0; i < c.writers; i++)
            writers.push_back(std::make_unique<Running>(command, "", std::vector<std::string>{},
                                                        Errors::kWithOutput));
        for (auto &writer : writers) {
            Outcome outcome = writer->Finish(Seconds(60));
            EXPECT_EQ(outcome.status, 0) << c.what;
            EXPECT_EQ(outcome.output, "") << c.what;
        }
        EXPECT_NE(Contents(file).find(kLiveSeries), std::string::npos) << c.what;
        EXPECT_EQ(FolderListing(folder.Path()), c.name + " " + (c.sticky ? c.name + ".tmp " : ""))
            << c.what;
        if (c.sticky) {
            EXPECT_EQ(Contents(file + ".tmp"), "kept\n");
        }
    }
}

TEST(Textfile, ReplacedWholeALinkNotFollowedEndedByASignal) {
    Block block(kBoard);
    TemporaryDirectory folder, elsewhere;
    std::string file = folder.Path() + "/boards.prom";
    std::string target = elsewhere.Path() + "/kept";
    std::ofstream(target) << "kept\n";
    std::filesystem::create_symlink(target, file);
    mode_t mask = umask(077); // the file is the collector's to read all the same
    Running view({Program("WatchBoards"), "--textfile", file, std::to_string(kBoard)});
    umask(mask);
    EXPECT_NE(WaitForContents(file, kLiveSeries).find(kLiveSeries), std::string::npos);
    Outcome outcome = view.Stop(SIGTERM);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, ""); // nothing on standard output
    EXPECT_EQ(FolderListing(folder.Path()), "boards.prom ");
    struct stat status;
    ASSERT_EQ(lstat(file.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    EXPECT_EQ(Contents(target), "kept\n");
}

// The stand-in service publishing a steady 600 Mbit/s and 3 errors a second
// on one board, 10 Gbit/s on another: from the third line on the first
// reads 600 Mbit/s and 3 errors a period; the second, under the default
// speed of 1G, is taken at 10G and counts.
TEST(WatchBoards, ReadsEveryPublicationOnce) {
    const std::string steady = std::to_string(kBoard), fast = std::to_string(kNewBoard);
    Running service({Program("RiDuvOzi.exe"), steady, fast, steady + ":rxGoodOctetsA+=75000000",
                     steady + ":rxErrA+=3", fast + ":rxGoodOctetsA+=1250000000"},
                    "", {}, Errors::kWithOutput);
    ASSERT_TRUE(service.WaitFor("publishing\n"));
    Outcome outcome =
        Running({Program("WatchBoards"), "--json", "-n", "7", steady, fast}).Finish(Seconds(60));
    EXPECT_EQ(outcome.status, 0);
    std::istringstream lines(outcome.output);
    int line = 0;
    std::map<std::string, std::string> last;
    for (std::string text; std::getline(lines, text);) {
        std::map<std::string, std::string> members = Members(text);
        if (members["board"] == fast) {
            last = members;
            continue;
        }
        if (++line < 3)
            continue;
        EXPECT_EQ(members["rxRateA"], "600000000") << text;
        if (members["intervalMs"] != "null") {
            EXPECT_EQ(std::stoi(members["rxErrDeltaA"]) * 1000, 3 * std::stoi(members["intervalMs"]))
                << text;
        }
    }
    EXPECT_EQ(line, 7);
    EXPECT_EQ(last["lanSpeed"], "10000000000");
    EXPECT_EQ(last["rxRateA"], "10000000000");
    EXPECT_EQ(last["resets"], "0");
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
}

// The stand-in service takes LanB's link down for a publication, then three
// times more: each is one loss, in the metrics file and as the events say,
// with the priority journald reads where standard output is its stream.
TEST(WatchBoards, CountsEveryLinkLossAndSaysWhen) {
    const std::string board = std::to_string(kBoard);
    Running service({Program("RiDuvOzi.exe"), board}, "", {}, Errors::kWithOutput);
    ASSERT_TRUE(service.WaitFor("publishing\n"));
    TemporaryDirectory folder;
    std::string file = folder.Path() + "/boards.prom";
    Running view({"/bin/bash", "-c",
                  "JOURNAL_STREAM=$(stat -L -c %d:%i /proc/$$/fd/1) exec \"$0\" --events "
                  "--textfile \"$1\" \"$2\"",
                  Program("WatchBoards"), file, board});
    // Once WatchBoards has seen the link up: a link down at its start is no loss.
    std::string up = "prp_hsr_link_status{board=\"" + board + "\",lan=\"B\"} 1\n";
    ASSERT_NE(WaitForContents(file, up).find(up), std::string::npos);
    for (int loss = 1; loss <= 4; loss++) {
        service.Write(board + ":linkStatusB=0\n");
        EXPECT_TRUE(view.WaitFor(" board " + board + " LanB down\n", Seconds(30), loss));
        service.Write(board + ":linkStatusB=1\n");
        EXPECT_TRUE(view.WaitFor(" board " + board + " LanB up after ", Seconds(30), loss));
    }
    std::string series = "prp_hsr_link_losses_total{board=\"" + board + "\",lan=\"B\"} 4\n";
    std::string contents = WaitForContents(file, series);
    EXPECT_NE(contents.find(series), std::string::npos) << contents;
    std::string said = view.Stop(SIGTERM).output;
    EXPECT_EQ(said.substr(0, 3), "<4>") << said;
    EXPECT_NE(said.find("\n<6>"), std::string::npos) << said;
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
}

// Where standard error is the journal's stream (JOURNAL_STREAM names it, as
// systemd sets it for the exporter's service), each line WatchBoards says
// there starts with the priority journald reads: <3> for one that ends it,
// <4> or <5> for one it goes on after.  Where JOURNAL_STREAM names another
// stream, standard error is as it always was.
TEST(WatchBoards, SaysItsLinesToTheJournalWithTheirPriority) {
    const std::string board = std::to_string(kBoard), fifoBoard = std::to_string(kNewBoard);
    std::string fifo = "/dev/shm" + BlockName(kNewBoard);
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    Running service({Program("RiDuvOzi.exe"), board}, "", {}, Errors::kWithOutput);
    ASSERT_TRUE(service.WaitFor("publishing\n", Seconds(30)));
    TemporaryDirectory folder;
    const std::string lanSpeed = "WatchBoards: not a LAN speed: 10g\nTry 'WatchBoards --help'.\n";
    const struct {
        std::vector<std::string> arguments;
        const char *journal;     // the descriptor JOURNAL_STREAM names
        const char *redirection; // of standard output
        std::string said;
        int status;
    } cases[] = {
        {{"--textfile", "/nonexistent/dir/x.prom", "-n", "1", board},
         "2",
         "",
         "<3>WatchBoards: /nonexistent/dir/.x.prom.#: No such file or directory\n",
         1},
        {{"-s", "10g"},
         "2",
         "",
         "<3>" + lanSpeed.substr(0, lanSpeed.find('\n') + 1) + "<3>" +
             lanSpeed.substr(lanSpeed.find('\n') + 1),
         2},
        {{"-s", "10g"}, "1", "", lanSpeed, 2},
        {{"-l", "-n", "1", board},
         "2",
         " >/dev/full",
         "<3>WatchBoards: standard output: No space left on device\n",
         1},
        {{"-l", "-n", "1", fifoBoard},
         "2",
         "",
         "<4>WatchBoards: board " + fifoBoard + ": its block cannot be read: not a regular file\n",
         0},
        {{"-l", "-s", board + "=1M", "-n", "6", board},
         "2",
         "",
         "<5>WatchBoards: board " + board +
             ": its counters grew faster than its LAN speed allows, 3 publications in a row: "
             "taken as 1G\n",
         0},
    };
    for (const auto &c : cases) {
        std::string errors = folder.Path() + "/errors";
        std::vector<std::string> command = {
            "/bin/bash", "-c",
            std::string("exec 2>\"$1\"") + c.redirection + "; JOURNAL_STREAM=$(stat -L -c %d:%i " +
                "/proc/self/fd/" + c.journal + ") exec \"$0\" \"${@:2}\"",
            Program("WatchBoards"), errors};
        command.insert(command.end(), c.arguments.begin(), c.arguments.end());
        Outcome outcome = Running(command).Finish(Seconds(60));
        EXPECT_EQ(outcome.status, c.status) << c.said;
        EXPECT_EQ(std::regex_replace(Contents(errors), std::regex("\\.[0-9a-f]{16}:"), ".#:"),
                  c.said);
    }
    EXPECT_EQ(service.Stop(SIGTERM).status, 0);
    unlink(fifo.c_str());
}

// A FIFO planted at a block's name, at the start or after the block was
// removed, hangs nothing: its board is unreadable, said once, and the
// others go on; SIGTERM ends WatchBoards at once.
TEST(WatchBoards, AFifoAtABlocksNameHangsNothing) {
    std::string fifo = "/dev/shm" + BlockName(kNewBoard);
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    auto block = std::make_unique<Block>(kBoard);
    Running view({Program("WatchBoards"), "--json", std::to_string(kBoard),
                  std::to_string(kNewBoard)},
                 "", {}, Errors::kWithOutput);
    EXPECT_TRUE(view.WaitFor("WatchBoards: board " + std::to_string(kNewBoard) +
                             ": its block cannot be read: not a regular file\n"));
    EXPECT_TRUE(WaitForLine(view, {{"board", std::to_string(kNewBoard)},
                                   {"state", "\"unreadable\""}}));
    block.reset();
    std::string planted = "/dev/shm" + BlockName(kBoard);
    ASSERT_EQ(mkfifo(planted.c_str(), 0666), 0);
    // Unreadable is shown as gone is: nothing of the record it had.
    EXPECT_TRUE(WaitForLine(view, {{"board", std::to_string(kBoard)},
                                   {"state", "\"unreadable\""},
                                   {"linkStatusA", "null"}}));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(view.Stop(SIGTERM).status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, Seconds(5));
    unlink(fifo.c_str());
    unlink(planted.c_str());
}

// Every place taken by boards whose service then stopped: boards that
// publish now take the places of boards gone.
TEST(WatchBoards, BoardsGoneMakeRoomForBoardsThatPublish) {
    struct rlimit files;
    getrlimit(RLIMIT_NOFILE, &files);
    struct rlimit raised = {files.rlim_max < 4096 ? files.rlim_max : 4096, files.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &raised), 0); // a descriptor a block, as the unit allows
    std::vector<std::unique_ptr<Block>> blocks;
    for (int32_t board = 0; board < 1024; board++)
        blocks.push_back(std::make_unique<Block>(kManyBoards + 1000 + board));
    TemporaryDirectory folder;
    std::string file = folder.Path() + "/boards.prom";
    Running view({Program("WatchBoards"), "--textfile", file});
    setrlimit(RLIMIT_NOFILE, &files);
    auto await = [&](const std::string &series) {
        for (int i = 0; i < 200 && Contents(file).find(series) == std::string::npos; i++)
            usleep(100000);
        return Contents(file).find(series) != std::string::npos;
    };
    EXPECT_TRUE(await("prp_hsr_boards 1024\n"));
    blocks.clear();
    Block fresh(kNewBoard);
    EXPECT_TRUE(await("prp_hsr_board_state{board=\"" + std::to_string(kNewBoard) +
                      "\",state=\"live\"} 1\n"));
    EXPECT_NE(Contents(file).find("prp_hsr_boards 1\n"), std::string::npos);
    EXPECT_EQ(view.Stop(SIGTERM).status, 0);
}

// WatchBoards reads a block it may only read, where a monitor, which asks
// for all access, is refused; one it may not read at all is unreadable.
TEST(WatchBoards, NeedsToReadABlockOnly) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run as another user";
    Block block(kBoard, sizeof(PrpValue), 0644);
    block.Record()->linkStatusA = 1;
    std::vector<std::string> view = AsNobody();
    for (const char *word : {"--json", "-n", "1"})
        view.push_back(word);
    view.insert(view.begin() + 4, Program("WatchBoards"));
    view.push_back(std::to_string(kBoard));
    Outcome outcome = Running(view).Finish(Seconds(30));
    EXPECT_EQ(Members(outcome.output.substr(0, outcome.output.size() - 1))["state"], "\"live\"");
    std::vector<std::string> monitor = AsNobody();
    monitor.push_back(Program("WatchLinkStatus"));
    EXPECT_EQ(Running(monitor, std::to_string(kBoard) + "\n").Finish(Seconds(30)).status, 1);
    Block mine(kNewBoard, sizeof(PrpValue), 0600);
    view.back() = std::to_string(kNewBoard);
    outcome = Running(view).Finish(Seconds(30));
    EXPECT_EQ(Members(outcome.output.substr(0, outcome.output.size() - 1))["state"],
              "\"unreadable\"");
}

} // namespace
} // namespace test
