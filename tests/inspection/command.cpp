#include "command.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace kob::test {
namespace {

std::string describe(const std::vector<std::string>& argv) {
    std::string text;
    for (const auto& arg : argv) text += (text.empty() ? "" : " ") + arg;
    return text;
}

// A pipe whose two ends close with it.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe(fd) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int end) {
        if (fd[end] >= 0) ::close(fd[end]);
        fd[end] = -1;
    }
};

}  // namespace

CommandResult runCommand(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) throw std::runtime_error("no program to run");
    Pipe out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out.fd[0]);
    posix_spawn_file_actions_addclose(&actions, err.fd[0]);

    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot run " + describe(argv) + ": " + std::strerror(spawned));
    out.closeEnd(1);
    err.closeEnd(1);

    CommandResult result;
    std::array<pollfd, 2> fds{{{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char chunk[65536];
            const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                sinks[i]->append(chunk, static_cast<std::size_t>(got));
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::string commandOutput(const std::vector<std::string>& argv) {
    CommandResult result = runCommand(argv);
    if (result.exitCode != 0)
        throw std::runtime_error(describe(argv) + " failed with exit code " + std::to_string(result.exitCode) +
                                 ": " + result.err);
    return std::move(result.out);
}

}  // namespace kob::test
