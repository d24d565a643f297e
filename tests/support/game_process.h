// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "support/temp_dir.h"

using Files = std::map<std::string, std::string>;  // names and contents; also variables and values

// The real game binary, run in a fresh directory that holds a link to the real data/ and `files`,
// with `env` added to the test's environment. What it writes to standard output is kept. It is
// killed if it outlives the object, or the test. Not copied, as its directory is not.
class GameProcess {
public:
    // How it starts. outputClosed: its standard output is a pipe whose reader has already gone.
    // lockedIn: in a directory it may not write (mode 0555), around `files` it may (mode 0666), as
    // an ordinary user: uid and gid 65534 when the tests run as root (root writes any directory).
    // That user may not reach the build tree, so the directory holds copies of the binary and of
    // data/ instead of the link.
    enum class Start { plain, outputClosed, lockedIn };

    explicit GameProcess(const Files& env, const Files& files = {}, Start start = Start::plain);
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
