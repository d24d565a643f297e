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

// Writes `bytes` over the regular file `target` (`old` as found before) from its start, then cuts
// it to their length and flushes it to disk: the file keeps its name, links, owner and mode. Room
// that longer contents need is reserved first, so that a full disk fails the save before anything
// of the old file is overwritten. Both player files are read from the front and stop once they
// have what they need; when the old file is longer, one blank follows the new bytes until the cut
// (which removes it again), so a crash before the cut leaves a file that reads as the new one. The
// new bytes reach the disk before the cut does.
bool writeInPlace(const std::string& target, const struct stat& old, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat now {};
    bool ok = ::fstat(fd, &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == old.st_dev && now.st_ino == old.st_ino;
    const off_t oldSize = now.st_size, newSize = static_cast<off_t>(bytes.size());
    if (ok && newSize > oldSize) {
        int error;
        do error = ::posix_fallocate(fd, oldSize, newSize - oldSize);
        while (error == EINTR);
        // No room: what was reserved goes again, and nothing is overwritten. A file system that
        // cannot reserve room at all lets the write go ahead as a plain one would.
        if (error == ENOSPC || error == EFBIG || error == EDQUOT) {
            ok = false;
            // The old bytes are untouched either way; a cut that fails leaves zeros past their end.
            static_cast<void>(!::ftruncate(fd, oldSize));
        }
    }
    ok = ok && writeAll(fd, bytes) &&
         (oldSize <= newSize || (writeAll(fd, " ") && ::fdatasync(fd) == 0 && ::ftruncate(fd, newSize) == 0)) &&
         ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
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
    // A rename would give the file's other names (hard links) nothing of the new contents.
    if (existed && old.st_nlink > 1) return writeInPlace(target, old, bytes);

    // The temporary file sits beside the target so that the rename stays within one file system.
    std::string tmp = target + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    // A directory this user may not write around a file they may: how shared tables are set up.
    if (fd < 0) return existed && (errno == EACCES || errno == EPERM) && writeInPlace(target, old, bytes);
    if (existed) {
        // The old owner, group and permission bits. A new file that cannot take the owner and group
        // (another user's file, or a group this user is not in) would change them: then, as in a
        // world-writable sticky directory, where the rename would be refused, the file is written
        // in place.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            ::close(fd);
            ::unlink(tmp.c_str());
            return writeInPlace(target, old, bytes);
        }
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
