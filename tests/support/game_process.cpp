// SPDX-License-Identifier: MIT
#include "support/game_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

GameProcess::GameProcess(const Files& env, const Files& files, Start start) {
    namespace fs = std::filesystem;
    const bool lockedIn = start == Start::lockedIn, asNobody = lockedIn && geteuid() == 0;
    std::string binary = YT_GAME_BINARY;
    if (lockedIn) {
        fs::copy(YT_SOURCE_DIR "/data", dir.file("data"), fs::copy_options::recursive);
        fs::copy_file(binary, dir.file("yuletumble"));
        binary = dir.file("yuletumble");
    } else {
        fs::create_directory_symlink(YT_SOURCE_DIR "/data", dir.file("data"));
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the game's output");
    for (const auto& [name, bytes] : files) {
        dir.write(name, bytes);
        if (lockedIn) fs::permissions(dir.file(name), fs::perms(0666));  // whoever the game runs as
    }
    if (lockedIn) fs::permissions(dir.path(), fs::perms(0555));
    if (start == Start::outputClosed) close(fds[0]);
    if ((pid = fork()) == 0) {
        dup2(fds[1], 1);
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        if (asNobody && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(127);
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
        if (chdir(dir.path().c_str()) == 0) execl(binary.c_str(), binary.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    if (start != Start::outputClosed) fcntl(out_ = fds[0], F_SETFL, O_NONBLOCK);
}

GameProcess::~GameProcess() {
    if (running()) kill(pid, SIGKILL);
    waitForExit();
    chmod(dir.path().c_str(), 0700);  // so that its contents can be removed
    if (out_ >= 0) close(out_);
}

int GameProcess::waitForExit(std::chrono::milliseconds limit) {
    int s = 0;
    if (waitUntil([&] { return status_ >= 0 || waitpid(pid, &s, WNOHANG) == pid; }, limit) && status_ < 0)
        status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
    return status_;
}

std::string GameProcess::output() {
    char buf[4096];
    for (ssize_t n; out_ >= 0 && (n = read(out_, buf, sizeof buf)) > 0;) text_.append(buf, static_cast<size_t>(n));
    return text_;
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
