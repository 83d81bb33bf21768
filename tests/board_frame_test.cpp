// What every board tool shares: the service guard, and how the tool finds
// its board library.
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "board_fixture.h"

namespace test {
namespace {

struct ToolRun {
    const char *tool;
    std::string input;
    std::string output; // with the service stopped
};

const ToolRun kEveryTool[] = {
    {"SelectHsrMode", "1\n", kAsk},
    {"SelectPrpMode", "1\n", kAsk},
    {"ShowRxCounter", "1\n2\n9\n",
     kAsk + kPortPrompt + "\nportSel = 2\n" + kMenu + "rxCounter = 0x0\n"},
    {"ShowTxCounter", "1\n2\n", kAsk + kPortPrompt + "txCount = 0\n"},
    {"ShowLinkStatus", "1\n", kAsk + LinkStatusLines("0x0", "0x0")},
};

// A process whose executable file has the given name: a copy of sleep, or
// of true, which ends at once and stays a zombie until the test collects it.
class Process {
  public:
    Process(const TemporaryDirectory &folder, const std::string &name,
            const char *program = "/bin/sleep") {
        std::string path = folder.Path() + "/" + name;
        std::filesystem::copy_file(program, path);
        running_ = std::make_unique<Running>(std::vector<std::string>{path, "60"});
        // Until its exec, the process still bears the test's name.
        std::string named = "(" + name.substr(0, 15) + ")";
        for (int i = 0; i < 15000 && Stat().name != named; i++)
            usleep(2000);
    }
    bool Ended() const { return Stat().state == "Z"; }
    ~Process() { running_->Stop(SIGKILL); }

  private:
    struct ProcessStat {
        std::string name, state;
    };
    ProcessStat Stat() const {
        std::ifstream stat("/proc/" + std::to_string(running_->Pid()) + "/stat");
        std::string pid;
        ProcessStat fields;
        stat >> pid >> fields.name >> fields.state;
        return fields;
    }

    std::unique_ptr<Running> running_;
};

TEST_F(BoardTest, OnlyARunningProcessOfTheExactNameStopsTheTools) {
    TemporaryDirectory folder;
    Process otherCase(folder, "riduvozi.exe");
    Process longer(folder, "RiDuvOzi.exe.bak");
    Process shorter(folder, "RiDuvOzi.ex");
    TemporaryDirectory otherFolder;
    Process ended(otherFolder, "RiDuvOzi.exe", "/bin/true");
    for (int i = 0; i < 3000 && !ended.Ended(); i++)
        usleep(10000);
    ASSERT_TRUE(ended.Ended());
    for (const ToolRun &run : kEveryTool) {
        SCOPED_TRACE(run.tool);
        Outcome outcome = Tool(run.tool, {}, run.input);
        EXPECT_EQ(outcome.output, run.output);
        EXPECT_EQ(outcome.status, 0);
    }
    // Four calls for each switch, none for an RX selection off the menu, two
    // for the TX counter and two for the link status.
    EXPECT_EQ(Journal().size(), 4u + 4u + 0u + 2u + 2u);
}

// Each prompt shows before the tool waits for its answer, even where
// standard output is a pipe and so fully buffered.
TEST_F(BoardTest, PromptShowsBeforeTheToolWaits) {
    Running tool({Program("ShowTxCounter")}, "", Boards());
    EXPECT_TRUE(tool.WaitFor(kAsk));
    tool.Write("1\n");
    EXPECT_TRUE(tool.WaitFor(kPortPrompt));
    EXPECT_EQ(tool.Output(), kAsk + kPortPrompt);
    tool.Write("2\n");
    EXPECT_EQ(tool.Finish().status, 0);
}

// Tools running at once on the simulator lose none of each other's calls.
TEST_F(BoardTest, SimulatorLosesNothingToToolsRunningAtOnce) {
    std::vector<std::unique_ptr<Running>> tools;
    for (int board = 0; board < 8; board++)
        tools.push_back(std::make_unique<Running>(
            std::vector<std::string>{Program(board % 2 ? "SelectHsrMode" : "SelectPrpMode"),
                                     std::to_string(board)},
            "", Boards()));
    for (auto &tool : tools)
        EXPECT_EQ(tool->Finish().status, 0);
    EXPECT_EQ(Journal().size(), 8u * 4u);
    EXPECT_EQ(Simulator({"show", "0x5f"}),
              "gpio-mode 0x1\nled 0x1\nlink-speed-mode set\nmode HSR\n");
    EXPECT_EQ(Simulator({"show", "0x5e"}),
              "gpio-mode 0x0\nled 0x0\nlink-speed-mode set\nmode PRP\n");
}

// LD_LIBRARY_PATH comes before the path a tool carries, so that the maker's
// library, or a test double, takes the simulator's place.
TEST_F(BoardTest, LibraryPathNamesAnotherLibqvgpio) {
    Outcome outcome = Tool("ShowLinkStatus", {}, "0\n", {"LD_LIBRARY_PATH=" DOUBLE_DIR});
    EXPECT_EQ(outcome.output, kAsk + LinkStatusLines("0xd0b1e", "0xd0b1e"));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Journal(), std::vector<std::string>{});
}

// The loader refuses a tool whose library is missing, or lacks an operation
// the tool uses, before the tool prints anything.
TEST_F(BoardTest, LoaderRefusesToolWithoutItsLibrary) {
    TemporaryDirectory elsewhere;
    std::string copy = elsewhere.Path() + "/ShowTxCounter";
    std::filesystem::copy_file(Program("ShowTxCounter"), copy);
    Outcome missing = Execute({copy}, "0\n2\n", Boards());
    EXPECT_EQ(missing.output, "");
    EXPECT_NE(missing.status, 0);

    Outcome lacking = Tool("ShowTxCounter", {}, "0\n2\n", {"LD_LIBRARY_PATH=" PARTIAL_DOUBLE_DIR});
    EXPECT_EQ(lacking.output, "");
    EXPECT_NE(lacking.status, 0);

    // A tool that needs nothing the partial library lacks still runs.
    Outcome enough = Tool("ShowLinkStatus", {}, "0\n", {"LD_LIBRARY_PATH=" PARTIAL_DOUBLE_DIR});
    EXPECT_EQ(enough.status, 0);
}

// Installed, the simulator library sits beside qvgpio-sim and a tool carries
// no search path that finds it: "qvgpio-sim run" puts the simulator's folder
// first, before any LD_LIBRARY_PATH, and passes the program's status on.
TEST_F(BoardTest, SimulatorRunsAnInstalledProgram) {
    TemporaryDirectory standins, bin;
    std::filesystem::copy_file(Program("qvgpio-sim"), standins.Path() + "/qvgpio-sim");
    std::filesystem::copy_file(SIMULATOR_LIBRARY, standins.Path() + "/libqvgpio.so");
    for (const char *program : {"ShowTxCounter", "WatchLinkStatus"})
        std::filesystem::copy_file(Program(program), bin.Path() + "/" + program);
    auto run = [&](const char *program, const std::string &input) {
        Environment environment = Boards();
        environment.push_back("LD_LIBRARY_PATH=" DOUBLE_DIR);
        return Execute({standins.Path() + "/qvgpio-sim", "run", bin.Path() + "/" + program}, input,
                       environment);
    };

    Outcome tool = run("ShowTxCounter", "1\n2\n");
    EXPECT_EQ(tool.output, kAsk + kPortPrompt + "txCount = 0\n");
    EXPECT_EQ(tool.status, 0);
    EXPECT_EQ(Journal(), (std::vector<std::string>{"GetTxCounter(0x59, 2, 0x140)",
                                                   "GetTxCounter(0x59, 2, 0x141)"}));
    EXPECT_EQ(run("WatchLinkStatus", "-99\n").status, 1); // no such block
    EXPECT_EQ(run("NoSuchProgram", "").status, 127);
}

} // namespace
} // namespace test
