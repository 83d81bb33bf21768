// The programs end to end, one test a row of tests/cases/programs.cases: the
// table that the Windows build runs under Wine too.
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "board_fixture.h"
#include "support/cases.h"

namespace test {

void PrintTo(const Case &c, std::ostream *out) { *out << c.name; }

namespace {

namespace fs = std::filesystem;

// A folder with a copy of some programs, where no board library is found.
const std::string &Elsewhere() {
    static TemporaryDirectory folder;
    static bool filled = false;
    if (!filled) {
        for (const char *program : {"ShowLinkStatus", "WatchLinkStatus"})
            fs::copy_file(Program(program), folder.Path() + "/" + program);
        filled = true;
    }
    return folder.Path();
}

std::vector<Case> TableCases() {
    return ReadCases(CASES_FILE, "linux",
                     {{"block", "/QvPrpFileMapObject"},
                      {"elsewhere", "%ELSEWHERE%"},
                      {"scratch", "%SCRATCH%"}});
}

std::string Replaced(std::string text, const std::string &from, const std::string &to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string Contents(const std::string &path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::string> LinesOf(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Each line of WatchBoards' output has the fields the case names, found by
// their names: in the header's columns, or as the members of a JSON object.
void ExpectFields(const Case &c, const std::string &output) {
    std::vector<std::string> lines = LinesOf(output);
    bool json = c.linesKind == "json";
    std::vector<std::string> header;
    if (!json) {
        ASSERT_FALSE(lines.empty()) << "no header";
        std::istringstream names(lines[0]);
        for (std::string name; std::getline(names, name, '\t');)
            header.push_back(name);
        lines.erase(lines.begin());
    }
    ASSERT_EQ(lines.size(), (size_t)c.lineCount) << output;
    for (const std::string &line : lines) {
        std::vector<std::string> values;
        std::istringstream in(line);
        for (std::string value; std::getline(in, value, '\t');)
            values.push_back(value);
        for (const auto &[name, value] : c.fields) {
            if (json) {
                std::string member = "\"" + name + "\":" + value;
                size_t at = line.find(member);
                EXPECT_TRUE(at != std::string::npos &&
                            (line[at + member.size()] == ',' || line[at + member.size()] == '}'))
                    << member << " in " << line;
                continue;
            }
            size_t column = 0;
            while (column < header.size() && header[column] != name)
                column++;
            ASSERT_LT(column, header.size()) << "no column " << name;
            EXPECT_EQ(column < values.size() ? values[column] : "", value) << name << " in " << line;
        }
    }
}

class Cases : public BoardTest, public ::testing::WithParamInterface<Case> {
  protected:
    // The stand-in service, its executable under the case's name for it,
    // publishing once it has said a line for each argument.
    std::unique_ptr<Running> StartService(const std::vector<std::string> &service) {
        if (service.empty())
            return nullptr;
        std::string program = Program("RiDuvOzi.exe");
        if (service[0] != "RiDuvOzi.exe") {
            program = folder_.Path() + "/" + service[0];
            fs::copy_file(Program("RiDuvOzi.exe"), program);
        }
        std::vector<std::string> command = service;
        command[0] = program;
        auto running = std::make_unique<Running>(command);
        EXPECT_TRUE(running->WaitFor("\n", Seconds(30), (int)service.size() - 1)) << "no service";
        return running;
    }

    TemporaryDirectory folder_;
};

TEST_P(Cases, AsTheTableSays) {
    const Case &c = GetParam();
    ASSERT_EQ(c.problem, "");
    for (const std::vector<std::string> &command : c.board)
        Simulator(command);
    std::unique_ptr<Running> service = StartService(c.service);

    // Standard error apart, in a file; standard output in the test's pipe, or
    // where the case sends it.
    std::string errors = folder_.Path() + "/errors";
    std::string script = "exec \"$@\" 2>\"$0\"";
    if (c.standardOutput == "full")
        script += " >/dev/full";
    else if (c.standardOutput == "closed")
        script += " >&-";
    std::vector<std::string> command = {"/bin/sh", "-c", script, errors};
    TemporaryDirectory scratch;
    for (const std::string &word : c.command)
        command.push_back(
            Replaced(Replaced(word, "%ELSEWHERE%", Elsewhere()), "%SCRATCH%", scratch.Path()));
    if (command[4].find('/') == std::string::npos)
        command[4] = Program(command[4]);
    Running program(command, c.input, Boards());

    if (c.compare == Case::kBeginning) {
        EXPECT_TRUE(program.WaitFor(c.output, Seconds(30)));
        EXPECT_EQ(program.Output().substr(0, c.output.size()), c.output);
        program.Stop(SIGTERM);
    } else {
        Outcome outcome = program.Finish(Seconds(60));
        if (c.compare == Case::kExact) {
            EXPECT_EQ(AnyNumbersMarked(outcome.output, c.output), c.output);
        }
        if (c.status == "!0")
            EXPECT_NE(outcome.status, 0);
        else
            EXPECT_EQ(std::to_string(outcome.status), c.status);
        if (!c.linesKind.empty())
            ExpectFields(c, outcome.output);
    }
    if (c.errorsChecked) {
        EXPECT_EQ(Contents(errors), c.errors);
    }
    for (const auto &[name, line] : c.fileLines) {
        std::string contents = Contents(scratch.Path() + "/" + name);
        EXPECT_NE(("\n" + contents).find("\n" + line + "\n"), std::string::npos)
            << line << " in " << name << ":\n"
            << contents;
    }
    if (!c.perfdata.empty()) { // read as Monitoring::Plugin reads it, with the arguments given
        std::vector<std::string> perl = {PERFDATA_SCRIPT, c.perfdata};
        perl.insert(perl.end(), c.command.begin() + 1, c.command.end());
        Outcome read = Execute(perl, program.Output());
        EXPECT_EQ(read.output, "");
        EXPECT_EQ(read.status, 0);
    }
    EXPECT_EQ(Journal(), c.calls);
    if (service != nullptr)
        service->Stop(SIGTERM); // which removes its blocks
}

INSTANTIATE_TEST_SUITE_P(Table, Cases, ::testing::ValuesIn(TableCases()),
                         [](const ::testing::TestParamInfo<Case> &info) {
                             std::string name = info.param.name;
                             for (char &c : name)
                                 if (!isalnum((unsigned char)c))
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace test
