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

namespace {
constexpr uid_t kPlayer = 65534;  // an ordinary user when the tests run as root
using Start = Launch::Start;

// Fills a pipe until a write would block; it blocks again afterwards.
void fill(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    const std::string block(4096, '.');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    fcntl(fd, F_SETFL, flags);
}
}  // namespace

GameProcess::GameProcess(const Launch& launch) {
    namespace fs = std::filesystem;
    const Start start = launch.start;
    const bool player = start == Start::asPlayer || start == Start::lockedIn, root = geteuid() == 0;
    std::string binary = YT_GAME_BINARY;
    if (player) {
        fs::copy(YT_SOURCE_DIR "/data", dir.file("data"), fs::copy_options::recursive);
        fs::copy_file(binary, dir.file("yuletumble"));
        binary = dir.file("yuletumble");
    } else {
        fs::create_directory_symlink(YT_SOURCE_DIR "/data", dir.file("data"));
    }
    for (const auto& [name, bytes] : launch.files) {
        dir.write(name, bytes);
        if (start == Start::lockedIn) fs::permissions(dir.file(name), fs::perms(0666));  // whoever the game runs as
    }
    if (launch.prepare) launch.prepare(dir);
    if (start == Start::asPlayer && root) {
        bool owned = chown(dir.path().c_str(), kPlayer, kPlayer) == 0;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            owned = owned && lchown(entry.path().c_str(), kPlayer, kPlayer) == 0;
        if (!owned) throw std::runtime_error("cannot give the game's directory to an ordinary user");
    }
    if (start == Start::lockedIn) fs::permissions(dir.path(), fs::perms(0555));

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("no pipes for the game");
    if (start == Start::outputGone) close(out[0]);
    if (start == Start::outputFull) fill(out[1]);
    if ((pid = fork()) == 0) {
        if (start == Start::outputClosed)
            close(1);
        else
            dup2(out[1], 1);
        dup2(err[1], 2);
        for (const auto& [name, value] : launch.env)
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        if (player && root && (setgroups(0, nullptr) != 0 || setgid(kPlayer) != 0 || setuid(kPlayer) != 0)) _exit(127);
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // after the change of user, which clears it
        if (chdir(dir.path().c_str()) == 0) execl(binary.c_str(), binary.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (start != Start::outputGone) fcntl(out_ = out[0], F_SETFL, O_NONBLOCK);
    fcntl(err_ = err[0], F_SETFL, O_NONBLOCK);
}

GameProcess::~GameProcess() {
    if (running()) kill(pid, SIGKILL);
    waitForExit();
    chmod(dir.path().c_str(), 0700);  // so that its contents can be removed
    for (int fd : {out_, err_})
        if (fd >= 0) close(fd);
}

int GameProcess::waitForExit(std::chrono::milliseconds limit) {
    int s = 0;
    if (waitUntil([&] { return status_ >= 0 || waitpid(pid, &s, WNOHANG) == pid; }, limit) && status_ < 0)
        status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
    return status_;
}

std::string GameProcess::drain(int fd, std::string& kept) {
    char buf[4096];
    for (ssize_t n; fd >= 0 && (n = read(fd, buf, sizeof buf)) > 0;) kept.append(buf, static_cast<size_t>(n));
    return kept;
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
