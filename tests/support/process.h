// Running the suite's real executables from a test: arguments, environment,
// bytes on standard input; standard output as bytes, exit status.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace test {

using Seconds = std::chrono::duration<double>;

// A status as a shell shows it: the exit code, or 128 + the signal number.
struct Outcome {
    std::string output;
    int status;
};

// Environment variables to set for the child ("NAME=value"), on top of the
// test's own environment.
using Environment = std::vector<std::string>;

// Where the child's standard error goes.
enum class Errors { kTests, kWithOutput };

// A program running in the background with its standard output in a pipe.
// Standard error is left to the test's own, or joins the output.
class Running {
  public:
    Running(const std::vector<std::string> &command, const std::string &input = "",
            const Environment &environment = {}, Errors errors = Errors::kTests);
    ~Running();
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

    // Reads output until it contains text, that many times (returns true),
    // or the time is up.
    bool WaitFor(const std::string &text, Seconds limit = Seconds(30), int times = 1);
    // Everything read so far.
    const std::string &Output() const { return output_; }
    // Waits for the program to end by itself; kills it when the time is up.
    Outcome Finish(Seconds limit = Seconds(60));
    // Sends the signal, then waits for the end.
    Outcome Stop(int signal);
    // Writes more to its standard input.
    void Write(const std::string &text);
    // Stops reading its output, as a reader that goes away.
    void CloseOutput();
    pid_t Pid() const { return pid_; }

  private:
    bool ReadSome(Seconds limit);
    Outcome Collect(Seconds limit);

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string output_;
};

// Runs a program to its end with the given standard input.
Outcome Execute(const std::vector<std::string> &command, const std::string &input = "",
                const Environment &environment = {}, Errors errors = Errors::kTests);

// A fresh folder, removed with everything in it at the end of the test.
class TemporaryDirectory {
  public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    const std::string &Path() const { return path_; }

  private:
    std::string path_;
};

} // namespace test
