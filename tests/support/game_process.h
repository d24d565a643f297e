// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "support/temp_dir.h"

using Files = std::map<std::string, std::string>;  // names and contents; also variables and values

// The real game binary, run in a fresh directory that holds a link to the real data/ and `files`,
// with `env` added to the test's environment. What it writes to standard output is kept; with
// `outputClosed` that goes into a pipe whose reader has already gone. It is killed if it outlives
// the object, or the test. Not copied, as its directory is not.
class GameProcess {
public:
    explicit GameProcess(const Files& env, const Files& files = {}, bool outputClosed = false);
    ~GameProcess();

    // Its exit status (128 + the signal if one ended it), or -1 while it still runs after `limit`.
    int waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(20));
    bool running() { return waitForExit(std::chrono::milliseconds(0)) < 0; }
    std::string output();

    TempDir dir;
    int pid = -1;

private:
    int out_ = -1;
    std::string text_;
    int status_ = -1;
};

// Runs a shell command line; what it wrote to standard output.
std::string runCommand(const std::string& command);
// Asks `done` every 20 ms until it says yes or `limit` has passed; its last answer.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
