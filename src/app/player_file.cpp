// SPDX-License-Identifier: MIT
#include "app/player_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}
#endif

}  // namespace

bool readPlayerFile(const char* path, std::size_t limit, std::string& text) {
    text.clear();
    // "a+" opens for reading and creates the file when it is missing; "r" still reads a file that
    // exists but is write-protected.
    FILE* f = std::fopen(path, "a+");
    if (!f) f = std::fopen(path, "r");
    if (!f) return false;
    std::rewind(f);
    char buf[4096];
    std::size_t n;
    while (text.size() < limit && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, std::min(n, limit - text.size()));
    std::fclose(f);
    return true;
}

bool replaceFileContents(const char* path, std::string_view bytes) {
#ifdef _WIN32
    std::string tmp = std::string(path) + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    if (std::fclose(f) != 0 || !ok) {
        std::remove(tmp.c_str());
        return false;
    }
    // Replaces an existing file in one step (a plain rename refuses to there).
    std::error_code error;
    std::filesystem::rename(tmp, path, error);
    if (error) std::remove(tmp.c_str());
    return !error;
#else
    // The temporary name sits beside the target so that the rename stays within one file system.
    std::string tmp = std::string(path) + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    // Keep the permissions a plain fopen would have given (0666 less the umask), not mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), path) != 0) ok = false;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
#endif
}
