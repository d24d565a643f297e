// SPDX-License-Identifier: MIT
#include "files/player_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <filesystem>
#else
#include <fcntl.h>
#include <limits.h>
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

// The file that `path` finally names: symbolic links are followed, relative ones from the link's
// own directory. A dangling link gives its missing target; a loop stops after 40 links.
std::string finalTarget(std::string path) {
    for (int links = 0; links < 40; ++links) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) break;  // not a link
        std::string next(target, static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = std::move(next);
    }
    return path;
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
    // The player may have linked the file elsewhere: replace what the link points to, keep the link.
    const std::string target = finalTarget(path);
    struct stat old {};
    const bool existed = ::lstat(target.c_str(), &old) == 0;
    if (!existed && errno != ENOENT) return false;
    // Only a regular file is ever replaced, and only one the player could open for writing: a
    // write-protected file is the player's wish to keep it as it is.
    if (existed && (!S_ISREG(old.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
        return false;

    // The temporary file sits beside the target so that the rename stays within one file system.
    std::string tmp = target + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;
    if (existed) {
        // Owner and group where this user may keep them (the group alone when the owner is
        // another user), and the old permission bits.
        static_cast<void>(::fchown(fd, old.st_uid, old.st_gid) == 0 ||
                          ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0);
        ::fchmod(fd, old.st_mode & 0777);
    } else {
        // A new file gets what a plain fopen would give (0666 less the umask), not mkstemp's 0600.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
#endif
}
