// SPDX-License-Identifier: MIT
#include "app/log_line.h"

#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace {

// Writes what `fd` takes now and drops the rest. Each write of at most PIPE_BUF bytes follows a
// poll that found room, which a pipe or a terminal takes without blocking.
void writeWithoutBlocking(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        pollfd out{fd, POLLOUT, 0};
        if (::poll(&out, 1, 0) != 1 || (out.revents & POLLOUT) == 0) return;
        const ssize_t n = ::write(fd, bytes.data(), std::min<std::size_t>(bytes.size(), PIPE_BUF));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void writeLine(int fd, std::string_view prefix, std::initializer_list<std::string_view> pieces) {
    std::string line(prefix);
    for (std::string_view piece : pieces) line += piece;
    line += '\n';
    writeWithoutBlocking(fd, line);
}

}  // namespace

void logLine(std::initializer_list<std::string_view> pieces) { writeLine(STDOUT_FILENO, "", pieces); }

void reportProblem(std::initializer_list<std::string_view> pieces) { writeLine(STDERR_FILENO, "yuletumble: ", pieces); }

const char* orEmpty(const char* text) { return text ? text : ""; }
