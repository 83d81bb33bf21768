// Board tools run for real against the board simulator, each test with
// boards and a journal of its own.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace test {

inline std::string Program(const std::string &name) {
    return std::string(SUITE_BIN_DIR "/") + name;
}

// The board tools' texts.
const std::string kAsk = "Enter the boardIndex:\n";
const std::string kPortPrompt = "Select Port to configure: 2: Port0, 4: Port1, 8: Port2";
const std::string kMenu = "Select counter value to get:\n"
                          " \t\t\t\t\t\t\t\t\t\t 0: RX GOOD OCTETS\n"
                          " \t\t\t\t\t\t\t\t\t\t 1: RX ERR\n"
                          " \t\t\t\t\t\t\t\t\t\t 2: RX WRONGLAN\n"
                          " \t\t\t\t\t\t\t\t\t\t 3: RX DUPLICATE\n"
                          " \t\t\t\t\t\t\t\t\t\t \n";
const std::string kGuard =
    "ziZidOzevadu is running, to run this program, please stop the ziZidOzevadu\n"
    "Exit the program\n";

inline std::string LinkStatusLines(const char *lanA, const char *lanB) {
    return std::string("Get mode control register of LanA...............................\n"
                       "Link Status of LanA = ") +
           lanA +
           "\n"
           "Get mode control register of LanB...............................\n"
           "Link Status of LanB = " +
           lanB + "\n";
}

class BoardTest : public ::testing::Test {
  protected:
    // The simulated boards, and the folder where a plugin run keeps its
    // state between checks: the test's own, never the user's.
    Environment Boards() const {
        return {"QVGPIO_SIM_DIR=" + boards_.Path(), "MP_STATE_PATH=" + boards_.Path()};
    }

    Outcome Tool(const std::string &name, const std::vector<std::string> &arguments,
                 const std::string &input, const Environment &more = {}) const {
        std::vector<std::string> command = {Program(name)};
        command.insert(command.end(), arguments.begin(), arguments.end());
        Environment environment = Boards();
        environment.insert(environment.end(), more.begin(), more.end());
        return Execute(command, input, environment);
    }

    // qvgpio-sim with these arguments; its output.
    std::string Simulator(const std::vector<std::string> &arguments) const {
        std::vector<std::string> command = {Program("qvgpio-sim")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        Outcome outcome = Execute(command, "", Boards());
        EXPECT_EQ(outcome.status, 0) << "qvgpio-sim failed";
        return outcome.output;
    }

    // Every qvgpio call made so far, in order.
    std::vector<std::string> Journal() const {
        std::vector<std::string> lines;
        std::istringstream journal(Simulator({"journal"}));
        for (std::string line; std::getline(journal, line);)
            lines.push_back(line);
        return lines;
    }

    TemporaryDirectory boards_;
};

} // namespace test
