// SPDX-License-Identifier: MIT
#include "support/game_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        const size_t eq = entry.find('=');
        if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [k, v] : extra) {
        if (v.empty())
            all.erase(k);
        else
            all[k] = v;
    }
    std::vector<std::string> out;
    for (const auto& [k, v] : all) out.push_back(k + "=" + v);
    return out;
}

}  // namespace

GameProcess::GameProcess(const std::string& program, const std::string& workDir,
                         const std::map<std::string, std::string>& env, bool outputClosed) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    if (outputClosed) close(pipeFds[0]);
    const std::vector<std::string> envStrings = mergedEnvironment(env);
    std::vector<char*> envp;
    for (const auto& s : envStrings) envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        // The game must not outlive a test that dies: it would keep the test runner's output open.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(pipeFds[1], 1);
        if (!outputClosed) close(pipeFds[0]);
        close(pipeFds[1]);
        if (chdir(workDir.c_str()) != 0) _exit(126);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    close(pipeFds[1]);
    if (outputClosed) return;
    outFd_ = pipeFds[0];
    fcntl(outFd_, F_SETFL, O_NONBLOCK);
}

GameProcess::~GameProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        int status;
        wait(std::chrono::milliseconds(5000), &status);
    }
    if (outFd_ >= 0) close(outFd_);
}

void GameProcess::drain(bool block) {
    if (outFd_ < 0) return;
    char buf[4096];
    for (;;) {
        if (block) {
            pollfd p{outFd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) return;
        }
        const ssize_t n = read(outFd_, buf, sizeof buf);
        if (n <= 0) return;
        out_.append(buf, static_cast<size_t>(n));
    }
}

bool GameProcess::running() {
    if (exited_) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        drain(true);
        return false;
    }
    return true;
}

bool GameProcess::wait(std::chrono::milliseconds limit, int* status) {
    const bool ended = waitUntil(
        [this] {
            drain(false);
            return !running();
        },
        limit);
    if (ended && status) *status = status_;
    return ended;
}

void GameProcess::signal(int sig) {
    if (!exited_) kill(pid_, sig);
}

std::string GameProcess::output() {
    drain(false);
    return out_;
}

std::vector<std::string> GameProcess::outputLines() {
    const std::string all = output();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\n') {
            lines.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < all.size()) lines.push_back(all.substr(start));
    return lines;
}

std::string runCommand(const std::vector<std::string>& argv, int* rc) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (rc) *rc = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return out;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
