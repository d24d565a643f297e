// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Runs a program as a child process in a given working directory with extra environment
// variables, its standard output captured. Used to start the real game binary.
class GameProcess {
public:
    // Starts `program` (no arguments) in `workDir`; `env` entries are added to (or replace) the
    // test's own environment; an empty value removes the variable. With `outputClosed` the child's
    // standard output is a pipe whose reader has already gone.
    GameProcess(const std::string& program, const std::string& workDir, const std::map<std::string, std::string>& env,
                bool outputClosed = false);
    ~GameProcess();  // kills the child if it still runs
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits for the child to end; true with its exit status (or 128 + signal) when it did in time.
    bool wait(std::chrono::milliseconds limit, int* status);
    bool running();
    void signal(int sig);
    pid_t pid() const { return pid_; }

    // Everything the child has written to standard output so far.
    std::string output();
    // Output split into lines (the final unterminated piece included if non-empty).
    std::vector<std::string> outputLines();

private:
    void drain(bool block);

    pid_t pid_ = -1;
    int outFd_ = -1;
    std::string out_;
    bool exited_ = false;
    int status_ = 0;
};

// Runs a short helper command (xdotool, xwininfo) and returns its standard output; status in *rc.
std::string runCommand(const std::vector<std::string>& argv, int* rc = nullptr);

// Polls `done` every 20 ms until it is true or `limit` passes; returns its last value.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
