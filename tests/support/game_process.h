// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <map>

#include "support/temp_dir.h"

using Files = std::map<std::string, std::string>;  // names and contents; also variables and values

// How the real game is started: in a fresh directory that holds a link to the real data/ and
// `files`, with `env` added to the test's environment (an empty value removes a variable).
// `prepare` runs in the directory just before the start, for anything else it needs.
struct Launch {
    // outputGone: its standard output is a pipe whose reader has already gone. outputFull: a pipe
    // already full, which nothing reads until the test asks for the output. outputClosed: no
    // standard output at all. asPlayer: as an ordinary user (uid and gid 65534 when the tests run
    // as root, who may read and write anything) who owns the directory and the files. lockedIn: as
    // that user, in a directory they may not write (mode 0555), around `files` they may (mode
    // 0666). That user may not reach the build tree, so the directory then holds copies of the
    // binary and of data/ instead of the link.
    enum class Start { plain, outputGone, outputFull, outputClosed, asPlayer, lockedIn };

    Files env = {};
    Files files = {};
    Start start = Start::plain;
    std::function<void(const TempDir&)> prepare = {};
};

// The game as it was launched; what it writes to standard output and standard error is kept. It
// is killed if it outlives the object, or the test. Not copied, as its directory is not.
class GameProcess {
public:
    explicit GameProcess(const Launch& launch);
    ~GameProcess();

    // Its exit status (128 + the signal if one ended it), or -1 while it still runs after `limit`.
    int waitForExit(std::chrono::milliseconds limit = std::chrono::seconds(20));
    bool running() { return waitForExit(std::chrono::milliseconds(0)) < 0; }
    std::string output() { return drain(out_, text_); }
    std::string errors() { return drain(err_, errorText_); }

    TempDir dir;
    int pid = -1;

private:
    static std::string drain(int fd, std::string& kept);

    int out_ = -1, err_ = -1;
    std::string text_, errorText_;
    int status_ = -1;
};

// Runs a shell command line; what it wrote to standard output.
std::string runCommand(const std::string& command);
// Asks `done` every 20 ms until it says yes or `limit` has passed; its last answer.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
