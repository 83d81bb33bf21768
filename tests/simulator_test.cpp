// The board simulator on a machine shared with other users: a store of the
// user's own, no link followed, every failure said.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "board_fixture.h"

namespace test {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string &path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void Put(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

class Simulator : public BoardTest {
  protected:
    std::string Store() const { return boards_.Path(); }
    Outcome Run(const std::vector<std::string> &command) const {
        return Execute(command, "", Boards(), Errors::kWithOutput);
    }
    Outcome Sim(const std::vector<std::string> &arguments) const {
        std::vector<std::string> command = {Program("qvgpio-sim")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return Run(command);
    }
    // The text with $S, when it holds one, standing for the store's path.
    std::string InStore(std::string text) const {
        size_t at = text.find("$S");
        return at == std::string::npos ? text : text.replace(at, 2, Store());
    }
    TemporaryDirectory elsewhere_; // where a planted link leads
};

// A store that is not a folder of the user's own: qvgpio-sim says so and
// ends with 1, a tool says it once and works on, and nothing is written
// where the store leads.
TEST_F(Simulator, RefusesAStoreNotOfTheUsersOwn) {
    const struct {
        const char *store, *make; // a shell command making $S, which may lead to $E
        std::string reason;
    } cases[] = {
        {"a file", "touch $S", "Not a directory"},
        {"a link", "ln -s $E $S", "is a link, not followed"},
        {"open to others", "mkdir -m 777 $S", "other users may write into it (mode 0777)"},
        {"another user's", "mkdir -m 700 $S && chown 65534 $S",
         "belongs to user 65534; the store must be your own"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.store);
        if (&c == &cases[3] && geteuid() != 0)
            continue; // only root can give a folder away
        fs::remove_all(Store());
        Execute({"/bin/sh", "-c", c.make}, "", {"S=" + Store(), "E=" + elsewhere_.Path()});
        for (const std::vector<std::string> &arguments : {std::vector<std::string>{"show", "0x5a"},
                                                          {"journal"},
                                                          {"reset"},
                                                          {"set-register", "1", "2", "3", "4"}})
            EXPECT_EQ(Sim(arguments).output, "qvgpio-sim: " + Store() + ": " + c.reason + "\n")
                << arguments[0];
        Outcome tool = Run({Program("SelectHsrMode"), "2"});
        EXPECT_EQ(tool.output, "qvgpio simulator: " + Store() + ": " + c.reason + "\n");
        EXPECT_EQ(tool.status, 0);
        EXPECT_TRUE(fs::is_empty(elsewhere_.Path()));
    }
}

// Links planted inside the store are never written through or emptied.
TEST_F(Simulator, FollowsNoLinkInTheStore) {
    std::string victim = elsewhere_.Path() + "/victim";
    Put(victim, "kept\n");
    fs::create_symlink(victim, Store() + "/journal");
    EXPECT_EQ(Run({Program("SelectHsrMode"), "2"}).output,
              "qvgpio simulator: " + Store() + "/journal: is a link, not followed\n");
    fs::remove(Store() + "/journal");

    // At the name a temporary file of this process would once have had.
    mkdir((Store() + "/board-5a").c_str(), 0700);
    Outcome tool = Run({"/bin/sh", "-c", "ln -s \"$1\" \"$2/board-5a/mode.$$\"; exec \"$0\" 2",
                        Program("SelectHsrMode"), victim, Store()});
    EXPECT_EQ(tool.output, "");
    EXPECT_EQ(Sim({"show", "0x5a"}).output,
              "gpio-mode 0x1\nled 0x1\nlink-speed-mode set\nmode HSR\n");

    fs::create_directory_symlink(elsewhere_.Path(), Store() + "/board-5b");
    EXPECT_EQ(Sim({"reset"}).status, 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Store() + "/board-5b")));
    EXPECT_EQ(Contents(victim), "kept\n");
}

// Only regular files are read or written: a FIFO where an item or the
// journal is kept, which would hold the open until someone opened its other
// end, or a folder, is said to be no regular file.  A tool says so once and
// works on.
TEST_F(Simulator, UsesNothingButRegularFiles) {
    const struct {
        std::string entry; // made as a FIFO, or as a folder when it ends in '/'
        std::vector<std::string> command;
        std::string output;
        int status;
    } cases[] = {
        {"board-5a/led",
         {"qvgpio-sim", "show", "0x5a"},
         "qvgpio-sim: $S/board-5a/led: is not a regular file\n",
         1},
        {"board-5a/mode/",
         {"qvgpio-sim", "show", "0x5a"},
         "qvgpio-sim: $S/board-5a/mode: is not a regular file\n",
         1},
        {"journal",
         {"qvgpio-sim", "journal"},
         "qvgpio-sim: $S/journal: is not a regular file\n",
         1},
        {"journal/",
         {"qvgpio-sim", "journal"},
         "qvgpio-sim: $S/journal: is not a regular file\n",
         1},
        {"journal",
         {"SelectHsrMode", "2"},
         "qvgpio simulator: $S/journal: is not a regular file\n",
         0},
        {"journal/",
         {"SelectHsrMode", "2"},
         "qvgpio simulator: $S/journal: is not a regular file\n",
         0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry + " " + c.command[0]);
        fs::remove_all(Store() + "/board-5a");
        fs::remove_all(Store() + "/journal");
        mkdir((Store() + "/board-5a").c_str(), 0700);
        std::string entry = Store() + "/" + c.entry;
        ASSERT_EQ(c.entry.back() == '/' ? mkdir(entry.c_str(), 0700) : mkfifo(entry.c_str(), 0600),
                  0);
        std::vector<std::string> command = c.command;
        command[0] = Program(command[0]);
        Outcome outcome = Run(command);
        EXPECT_EQ(outcome.output, InStore(c.output));
        EXPECT_EQ(outcome.status, c.status);
    }
    EXPECT_EQ(Sim({"show", "0x5a"}).output,
              "gpio-mode 0x1\nled 0x1\nlink-speed-mode set\nmode HSR\n");
}

// What qvgpio-sim shows of the store is safe on a terminal: every byte of
// a name or a text outside printable ASCII as a backslash and three octal
// digits, a backslash doubled.
TEST_F(Simulator, ShowsNoTerminalControls) {
    const struct {
        std::string name, text, output;
        int status;
    } cases[] = {
        {"\x1b]0;title\x07", "x\n", "\\033]0;title\\007 x\n", 0},
        {"mode", "HSR\x1b[2J\n", "mode HSR\\033[2J\n", 0},
        {"back\\slash", "a\tb\r\n", "back\\\\slash a\\011b\\015\n", 0},
        {"caf\xc3\xa9",
         "\x9b"
         "31m\n",
         "caf\\303\\251 \\23331m\n", 0},
        {"led", "1\x1b[2J\n",
         "qvgpio-sim: $S/board-5a/led holds \"1\\033[2J\", not a number from 0 to 0xffffffff\n", 1},
        {"\x1b[2J/", "", "qvgpio-sim: $S/board-5a/\\033[2J: is not a regular file\n", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.output);
        fs::remove_all(Store() + "/board-5a");
        mkdir((Store() + "/board-5a").c_str(), 0700);
        if (c.name.back() == '/')
            mkdir((Store() + "/board-5a/" + c.name).c_str(), 0700);
        else
            Put(Store() + "/board-5a/" + c.name, c.text);
        Outcome outcome = Sim({"show", "0x5a"});
        EXPECT_EQ(outcome.output, InStore(c.output));
        EXPECT_EQ(outcome.status, c.status);
    }
}

TEST_F(Simulator, SaysWhatIsWrong) {
    const struct {
        std::vector<std::string> arguments;
        std::string item, text; // a state file put in place first
        std::string output;
        int status;
    } cases[] = {
        {{"set-link-status", "0x59", "5", "1"},
         "",
         "",
         "qvgpio-sim: LAN must be 4 (LanA) or 6 (LanB), not 5\n",
         2},
        {{"show", "0x100"},
         "",
         "",
         "qvgpio-sim: ADDRESS must be a number from 0 to 0xff, not \"0x100\"\n",
         2},
        {{"set-register", "0x59", "2", "0x112", "-1"},
         "",
         "",
         "qvgpio-sim: VALUE must be a number from 0 to 0xffff, not \"-1\"\n",
         2},
        {{"set-counter", "0x59", "2", "0x112"},
         "",
         "",
         "qvgpio-sim: set-counter takes ADDRESS PORT LOW-REGISTER VALUE\n",
         2},
        {{"show", "0x5a"},
         "led",
         "garbage\n",
         "/board-5a/led holds \"garbage\", not a number from 0 to 0xffffffff\n",
         1},
        {{"show", "0x5a"},
         "link-status-04",
         "-1\n",
         "/board-5a/link-status-04 holds \"-1\", not a number from 0 to 0xffffffff\n",
         1},
        // A file that holds no number is no 0, whatever a C string of it
        // would say.
        {{"show", "0x5a"},
         "led",
         "",
         "/board-5a/led holds \"\", not a number from 0 to 0xffffffff\n",
         1},
        {{"show", "0x5a"},
         "led",
         std::string("\0\n", 2),
         "/board-5a/led holds \"\\000\", not a number from 0 to 0xffffffff\n",
         1},
        {{"show", "0x5a"},
         "link-status-06",
         std::string("5\0junk\n", 7),
         "/board-5a/link-status-06 holds \"5\\000junk\", not a number from 0 to 0xffffffff\n",
         1},
        {{"show", "0x5a"},
         "register-02-0112",
         "99999999999999999999\n",
         "/board-5a/register-02-0112 holds \"99999999999999999999\", not a number from 0 to "
         "0xffff\n",
         1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        fs::remove_all(Store() + "/board-5a");
        if (!c.item.empty()) {
            mkdir((Store() + "/board-5a").c_str(), 0700);
            Put(Store() + "/board-5a/" + c.item, c.text);
        }
        Outcome outcome = Sim(c.arguments);
        EXPECT_EQ(outcome.output, c.item.empty() ? c.output : "qvgpio-sim: " + Store() + c.output);
        EXPECT_EQ(outcome.status, c.status);
    }
}

// "qvgpio-sim run" puts first in LD_LIBRARY_PATH the folder that holds the
// simulator library, wherever qvgpio-sim runs from: the build tree's bin/
// (library in lib/) or an install (the two side by side).  The tool is a
// copy, without the build's search path.
TEST_F(Simulator, RunFindsTheLibraryWhereverItRunsFrom) {
    TemporaryDirectory installed, alone, bin;
    fs::copy_file(Program("qvgpio-sim"), installed.Path() + "/qvgpio-sim");
    fs::copy_file(SIMULATOR_LIBRARY, installed.Path() + "/libqvgpio.so");
    fs::copy_file(Program("qvgpio-sim"), alone.Path() + "/qvgpio-sim");
    fs::copy_file(Program("ShowLinkStatus"), bin.Path() + "/ShowLinkStatus");
    const struct {
        std::string simulator, output;
        int status;
    } cases[] = {
        {Program("qvgpio-sim"), kAsk + LinkStatusLines("0x0", "0x0"), 0},
        {installed.Path() + "/qvgpio-sim", kAsk + LinkStatusLines("0x0", "0x0"), 0},
        {alone.Path() + "/qvgpio-sim", "qvgpio-sim: no libqvgpio.so beside it or in ../lib\n", 127},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.simulator);
        Outcome outcome = Execute({c.simulator, "run", bin.Path() + "/ShowLinkStatus"}, "1\n",
                                  Boards(), Errors::kWithOutput);
        EXPECT_EQ(outcome.output, c.output);
        EXPECT_EQ(outcome.status, c.status);
    }
}

// Asked for help, each stand-in prints on standard output the usage it
// prints on standard error when called without arguments, and ends with 0.
TEST(StandIns, HelpIsTheUsageOnStandardOutput) {
    for (const char *name : {"qvgpio-sim", "RiDuvOzi.exe"}) {
        Outcome bare = Execute({Program(name)}, "", {}, Errors::kWithOutput);
        EXPECT_EQ(bare.output.rfind("usage: ", 0), 0u) << name;
        EXPECT_EQ(bare.status, 2) << name;
        for (const std::vector<std::string> &arguments :
             {std::vector<std::string>{"--help"}, {"-h"}, {"--help", "show"}}) {
            std::vector<std::string> command = {Program(name)};
            command.insert(command.end(), arguments.begin(), arguments.end());
            Outcome help = Execute(command);
            EXPECT_EQ(help.output, bare.output) << name << " " << arguments[0];
            EXPECT_EQ(help.status, 0) << name << " " << arguments[0];
        }
    }
    // Only before a verb: after one, it is an argument like any other.
    Outcome late = Execute({Program("qvgpio-sim"), "show", "--help"}, "", {}, Errors::kWithOutput);
    EXPECT_EQ(late.output, "qvgpio-sim: ADDRESS must be a number from 0 to 0xff, not \"--help\"\n");
    EXPECT_EQ(late.status, 2);
}

// Without QVGPIO_SIM_DIR the store is the user's runtime folder's.
TEST(SimulatorStore, DefaultIsTheUsersOwn) {
    TemporaryDirectory runtime;
    Outcome tool = Execute({Program("SelectHsrMode"), "2"}, "",
                           {"QVGPIO_SIM_DIR=", "XDG_RUNTIME_DIR=" + runtime.Path()});
    EXPECT_EQ(tool.status, 0);
    struct stat status = {};
    EXPECT_EQ(stat((runtime.Path() + "/qvgpio-sim/journal").c_str(), &status), 0);
    EXPECT_EQ(stat((runtime.Path() + "/qvgpio-sim").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0700u);
}

} // namespace
} // namespace test
