#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

#include "lab.h"

namespace lab {

namespace {

void ClosePair(std::array<int, 2>& pipe) {
    for (int& end : pipe) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

std::string Joined(const std::vector<std::string>& argv) {
    std::string text;
    for (const std::string& word : argv) text += (text.empty() ? "" : " ") + word;
    return text;
}

// Reads both pipes until each is closed, so a child that fills one cannot stall on the other.
void Drain(int outputFd, int errorFd, RunResult& result) {
    std::array<pollfd, 2> fds = {{{outputFd, POLLIN, 0}, {errorFd, POLLIN, 0}}};
    std::array<std::string*, 2> sinks = {&result.output, &result.errors};
    int open = 2;
    std::array<char, 65536> buffer{};
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (n > 0) {
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

RunResult Run(const std::vector<std::string>& argv) {
    std::array<int, 2> output = {-1, -1};
    std::array<int, 2> errors = {-1, -1};
    if (::pipe(output.data()) != 0 || ::pipe(errors.data()) != 0) {
        ClosePair(output);
        throw std::runtime_error("pipe failed");
    }
    std::vector<char*> args;
    for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        ClosePair(output);
        ClosePair(errors);
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::close(errors[0]);
        ::close(errors[1]);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(errors[1]);
    RunResult result;
    Drain(output[0], errors[0], result);
    ::close(output[0]);
    ::close(errors[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.elapsed = std::chrono::steady_clock::now() - start;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

void RunChecked(const std::vector<std::string>& argv) {
    const RunResult result = Run(argv);
    if (result.status != 0) {
        throw std::runtime_error(Joined(argv) + " exited " + std::to_string(result.status) + ": " +
                                 result.errors);
    }
}

}  // namespace lab
