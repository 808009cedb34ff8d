// fork/exec with a pipe on standard output.
#include "tests/support/process.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

child_process::child_process(const std::string& path, const std::vector<std::string>& args,
                             const environment_change& env)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], STDOUT_FILENO);
        for (const auto& [name, value] : env.set)
            setenv(name.c_str(), value.c_str(), 1);
        for (const auto& name : env.unset)
            unsetenv(name.c_str());
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(path.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    stdout_fd_ = fds[0];
}

child_process::~child_process()
{
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (stdout_fd_ >= 0)
        close(stdout_fd_);
}

bool child_process::read_more(std::chrono::milliseconds timeout)
{
    pollfd fd{stdout_fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0)
        return false;
    char buffer[4096];
    const ssize_t n = read(stdout_fd_, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

std::optional<std::string> child_process::read_line(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending_.substr(0, newline + 1);
            pending_.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !read_more(left))
            return std::nullopt;
    }
}

std::optional<int> child_process::wait_for_exit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exited_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            exited_ = true;
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string child_process::rest_of_output()
{
    while (read_more(std::chrono::milliseconds(0))) {
    }
    std::string rest;
    rest.swap(pending_);
    return rest;
}
