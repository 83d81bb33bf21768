// The table of end-to-end cases (tests/cases/programs.cases), as read on
// Linux; its grammar is at the top of the table.  tests/windows/cases.sh
// reads the same table for the Windows build.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace test {

struct Case {
    std::string name;
    std::vector<std::string> command;
    std::string input;
    enum Compare { kExact, kBeginning, kNotCompared } compare = kExact;
    std::string output;
    std::string status; // a number, "!0" or "-"
    std::vector<std::string> calls;
    std::vector<std::vector<std::string>> board; // qvgpio-sim commands
    std::vector<std::string> service;            // its name, then its arguments
    // Where standard output goes: "" a pipe the test reads, "full" a full
    // disk, "closed" nowhere, closed at start.
    std::string standardOutput;
    bool errorsChecked = false;
    std::string errors;
    // "lines" or "json": how many lines, and the fields each has.
    std::string linesKind;
    int lineCount = 0;
    std::vector<std::pair<std::string, std::string>> fields;
    // Lines a file in the case's scratch folder holds: its name, the line.
    std::vector<std::pair<std::string, std::string>> fileLines;
    // The state that tests/plugin/perfdata.pl must find for check_prp_hsr's
    // output; empty: not read so.
    std::string perfdata;
    std::string problem; // what is wrong with the table here
};

// What \# stands for in an output: a whole number that the moment of the
// run decides (how long a board has been seen unchanged).
const char kAnyNumber = '\x01';

// The output as the case wants it where it is: each whole number where the
// case has \# turned into that mark, the rest as it is.
std::string AnyNumbersMarked(const std::string &output, const std::string &wanted);

// The cases of the table for the platform ("linux"), with the runner's own
// texts (${block}, ${elsewhere}) as given.
std::vector<Case> ReadCases(const std::string &path, const std::string &platform,
                            const std::map<std::string, std::string> &texts);

} // namespace test
