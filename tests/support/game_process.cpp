// SPDX-License-Identifier: MIT
#include "support/game_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

GameProcess::GameProcess(const Files& env, const Files& files, bool outputClosed) {
    const std::string data = std::string(YT_SOURCE_DIR) + "/data";
    int fds[2];
    if (symlink(data.c_str(), dir.file("data").c_str()) != 0 || pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot prepare the game's directory");
    for (const auto& [name, bytes] : files) dir.write(name, bytes);
    if (outputClosed) close(fds[0]);
    if ((pid = fork()) == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(fds[1], 1);
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        if (chdir(dir.path().c_str()) == 0) execl(YT_GAME_BINARY, YT_GAME_BINARY, nullptr);
        _exit(127);
    }
    close(fds[1]);
    if (!outputClosed) fcntl(out_ = fds[0], F_SETFL, O_NONBLOCK);
}

GameProcess::~GameProcess() {
    signal(SIGKILL);
    waitForExit();
    if (out_ >= 0) close(out_);
}

int GameProcess::waitForExit(std::chrono::milliseconds limit) {
    waitUntil(
        [this] {
            int s = 0;
            if (status_ < 0 && waitpid(pid, &s, WNOHANG) == pid)
                status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
            return status_ >= 0;
        },
        limit);
    return status_;
}

std::string GameProcess::output() {
    char buf[4096];
    for (ssize_t n; out_ >= 0 && (n = read(out_, buf, sizeof buf)) > 0;) text_.append(buf, static_cast<size_t>(n));
    return text_;
}

std::vector<std::string> GameProcess::lines() {
    const std::string text = output();
    std::vector<std::string> lines;
    for (size_t from = 0, end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
        lines.push_back(text.substr(from, end - from));
    return lines;
}

std::string runCommand(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    for (int c; p && (c = std::fgetc(p)) != EOF;) out += static_cast<char>(c);
    if (p) pclose(p);
    return out;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    for (const auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (done()) return true;
    return done();
}
