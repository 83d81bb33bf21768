#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace test {

namespace {

void Check(bool ok, const char *what) {
    if (!ok)
        throw std::runtime_error(std::string(what) + ": " + strerror(errno));
}

} // namespace

Running::Running(const std::vector<std::string> &command, const std::string &input,
                 const Environment &environment, Errors errors) {
    int in[2], out[2];
    Check(pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0, "pipe");
    std::vector<char *> argv;
    for (const std::string &word : command)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);

    pid_ = fork();
    Check(pid_ >= 0, "fork");
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        if (errors == Errors::kWithOutput)
            dup2(out[1], 2);
        signal(SIGPIPE, SIG_DFL);
        for (const std::string &setting : environment)
            putenv(const_cast<char *>(setting.c_str()));
        execv(argv[0], argv.data());
        _exit(126);
    }
    close(in[0]);
    close(out[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    signal(SIGPIPE, SIG_IGN); // a program may end without reading all it was given
    Write(input);
}

Running::~Running() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (stdin_ >= 0)
        close(stdin_);
    if (stdout_ >= 0)
        close(stdout_);
}

void Running::Write(const std::string &text) {
    // Written while reading, so that a program that answers as it reads
    // cannot block on a full pipe.
    size_t done = 0;
    while (done < text.size() && stdin_ >= 0) {
        pollfd fds[2] = {{stdin_, POLLOUT, 0}, {stdout_, POLLIN, 0}};
        if (poll(fds, stdout_ >= 0 ? 2 : 1, 10000) <= 0)
            throw std::runtime_error("the program takes no input");
        if (fds[0].revents & (POLLERR | POLLHUP))
            break;
        if (fds[0].revents & POLLOUT) {
            ssize_t n =
                write(stdin_, text.data() + done, std::min<size_t>(text.size() - done, 65536));
            if (n < 0)
                break; // it ended, or closed its input
            done += (size_t)n;
        }
        if (stdout_ >= 0 && (fds[1].revents & (POLLIN | POLLHUP)))
            ReadSome(Seconds(0));
    }
}

void Running::CloseOutput() {
    close(stdout_);
    stdout_ = -1;
}

bool Running::ReadSome(Seconds limit) {
    if (stdout_ < 0)
        return false;
    pollfd fd = {stdout_, POLLIN, 0};
    int ready = poll(&fd, 1, (int)(limit.count() * 1000));
    if (ready <= 0)
        return false;
    char buffer[65536];
    ssize_t n = read(stdout_, buffer, sizeof buffer);
    if (n <= 0) {
        close(stdout_);
        stdout_ = -1;
        return false;
    }
    output_.append(buffer, (size_t)n);
    return true;
}

bool Running::WaitFor(const std::string &text, Seconds limit, int times) {
    auto end = std::chrono::steady_clock::now() + limit;
    auto found = [&] {
        size_t at = 0;
        for (int i = 0; i < times; i++, at++)
            if ((at = output_.find(text, at)) == std::string::npos)
                return false;
        return true;
    };
    while (!found()) {
        Seconds left = end - std::chrono::steady_clock::now();
        if (left.count() <= 0 || stdout_ < 0)
            return false;
        ReadSome(left);
    }
    return true;
}

Outcome Running::Collect(Seconds limit) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (stdout_ >= 0) {
        Seconds left = end - std::chrono::steady_clock::now();
        if (left.count() <= 0) {
            kill(pid_, SIGKILL);
            break;
        }
        ReadSome(left);
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {output_, code};
}

Outcome Running::Finish(Seconds limit) {
    if (stdin_ >= 0) {
        close(stdin_);
        stdin_ = -1;
    }
    return Collect(limit);
}

Outcome Running::Stop(int signal) {
    kill(pid_, signal);
    return Collect(Seconds(30));
}

Outcome Execute(const std::vector<std::string> &command, const std::string &input,
                const Environment &environment, Errors errors) {
    Running program(command, input, environment, errors);
    return program.Finish();
}

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "prp-test-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace test
