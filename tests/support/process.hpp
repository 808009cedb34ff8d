// Runs a program as a child process with a chosen environment and collects its standard output and
// exit status.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct environment_change {
    std::map<std::string, std::string> set;
    std::vector<std::string> unset;
};

class child_process {
public:
    child_process(const std::string& path, const std::vector<std::string>& args, const environment_change& env = {});
    ~child_process();
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    pid_t pid() const { return pid_; }
    // The next line of standard output, newline included, or nothing if none arrives in time.
    std::optional<std::string> read_line(std::chrono::milliseconds timeout);
    // Waits for the exit and returns its status (128 + signal for a signal); kills the child and
    // returns nothing if it does not exit in time.
    std::optional<int> wait_for_exit(std::chrono::milliseconds timeout);
    // Everything written to standard output that has not been read yet; call after the exit.
    std::string rest_of_output();

private:
    bool read_more(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int stdout_fd_ = -1;
    bool exited_ = false;
    std::string pending_;
};
