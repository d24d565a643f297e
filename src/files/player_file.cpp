// SPDX-License-Identifier: MIT
#include "files/player_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace {

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

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// No write bit set for anyone: the player's wish to keep it as it is, whoever runs the game (root
// passes every permission check, so the bits are read, not the access).
bool writeProtected(const struct stat& st) { return (st.st_mode & 0222) == 0; }

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

// Makes a new file beside `target` (so that a rename stays within one file system) and names it in
// `name`. It gets the mode a plain fopen would give: 0666 less the umask, or as the directory's
// default ACL says; the kernel applies either, so the process's umask is never touched. -1 with
// errno set when it cannot be made.
int createBeside(const std::string& target, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + std::to_string(::getpid()) + '-' + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file the old one's owner, group and permission bits. False when it cannot take the
// owner and group (another user's file, or a group this user is not in).
bool takeOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) return false;
    ::fchmod(fd, old.st_mode & 0777);
    return true;
}

// Fills the new file, flushes it, renames it over `target` and makes the rename durable. On any
// failure the new file goes and the target stays as it was.
bool renameOver(int fd, const std::string& name, const std::string& target, std::string_view bytes) {
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(name.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(name.c_str());
        return false;
    }
    const int dirFd = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace

int openRegularFile(const char* path) {
    // A FIFO would block the open (or every read), and a device may act on being opened: only a
    // regular file is opened, and checked again once open in case it was replaced meanwhile.
    struct stat st {};
    if (::stat(path, &st) != 0) return -1;
    const int fd = S_ISREG(st.st_mode) ? ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
    if (fd >= 0) ::close(fd);
    if (fd >= 0 || !S_ISREG(st.st_mode)) errno = EINVAL;
    return -1;
}

FileRead readPlayerFile(const char* path, std::size_t limit, std::string& text) {
    text.clear();
    const int fd = openRegularFile(path);
    if (fd < 0) return errno == ENOENT ? FileRead::missing : FileRead::unreadable;
    char buf[4096];
    ssize_t n = 0;
    while (text.size() < limit && ((n = ::read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0) text.append(buf, std::min(static_cast<std::size_t>(n), limit - text.size()));
    ::close(fd);
    if (n >= 0) return FileRead::read;
    text.clear();  // an I/O error part way: nothing of it is taken
    return FileRead::unreadable;
}

bool replaceFileContents(const char* path, std::string_view bytes) {
    // The player may have linked the file elsewhere: replace what the link points to, keep the link.
    const std::string target = finalTarget(path);
    struct stat old {};
    const bool existed = ::lstat(target.c_str(), &old) == 0;
    if (!existed && errno != ENOENT) return false;
    // Only a regular file is ever replaced, and only one the player left writable and could open
    // for writing.
    if (existed &&
        (!S_ISREG(old.st_mode) || writeProtected(old) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0))
        return false;
    // Where a new file cannot take the old one's place, the old one is written in place.
    const auto inPlace = [&] { return existed && writeInPlace(target, old, bytes); };
    // A rename would give the file's other names (hard links) nothing of the new contents.
    if (existed && old.st_nlink > 1) return inPlace();
    // A directory no one may write, around a file they may: how shared tables are set up.
    struct stat dir {};
    if (::stat(directoryOf(target).c_str(), &dir) == 0 && writeProtected(dir)) return inPlace();
    std::string name;
    const int fd = createBeside(target, name);
    if (fd < 0) return (errno == EACCES || errno == EPERM) && inPlace();
    // A new file that cannot take the old owner and group would change them: then, as in a
    // world-writable sticky directory, where the rename would be refused, the file is written in place.
    if (existed && !takeOwnership(fd, old)) {
        ::close(fd);
        ::unlink(name.c_str());
        return inPlace();
    }
    return renameOver(fd, name, target, bytes);
}
