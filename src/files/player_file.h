// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The player's files ("game.cfg", "highscore.lst"): read once at start-up, written once at exit.

// What reading a player's file found.
enum class FileRead {
    read,        // a regular file, read
    missing,     // nothing there: the defaults stand, and the file is made at exit
    unreadable,  // something there that could not be read (no permission, not a regular file, an
                 // I/O error): the defaults stand, and the file is left as it is at exit
};

// Opens `path` for reading only if it is a regular file (a symbolic link is followed), and never
// blocks: a FIFO, a socket, a device or a directory is not opened at all. The descriptor, or -1
// with errno set (ENOENT when nothing is there, EINVAL when it is not a regular file).
int openRegularFile(const char* path);

// Reads at most `limit` bytes of the file at `path` into `text` (empty unless read). Never creates
// the file and never blocks.
FileRead readPlayerFile(const char* path, std::size_t limit, std::string& text);

// Replaces the contents of the file at `path` with `bytes`. What the player set up is kept: a
// symbolic link is followed and stays (the link's final target gets the bytes; a dangling link
// creates it), the file keeps its permission bits, its owner and its group, and a file that is
// not regular, that no one may write (no write bit set, which holds for root too), or that this
// user could not open for writing, is not touched.
// - Replaced whole where it can be: the bytes go to a new file in the same directory, are flushed
//   to disk, the new file is renamed over the target and the directory is flushed. A reader only
//   ever sees the old file whole or the new file whole: a failure (a full disk) removes the new
//   file and leaves the old one untouched, and so does a crash or a kill, though the new file may
//   then stay behind.
// - Written in place where a new file cannot take the old one's place: when it cannot be made for
//   lack of permission, or the directory has no write bit set (a directory no one may write,
//   around files they may), when it cannot take the target's owner and group (another user's
//   file, a group this user is not in; in a sticky directory the rename would be refused too), and
//   when the target has more than one hard link (a rename would leave the other names with the old
//   contents). The bytes are written over the file from its start, the file is cut to their length
//   and flushed. Room for longer contents is reserved first, so a full disk fails the save before
//   anything is overwritten. A crash before the cut leaves the new bytes, one blank and the rest of
//   the old file: a format read from the front that stops once it has what it needs (both player
//   files) still reads the new contents.
// False when nothing was written, or when writing in place failed part way.
bool replaceFileContents(const char* path, std::string_view bytes);
