// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The player's files ("game.cfg", "highscore.lst"): read once at start-up, written once at exit.

// Reads at most `limit` bytes of the file at `path` into `text`. A missing file is created, empty,
// on the way (the game always leaves its files in place); a file that exists but cannot be
// written is still read. False when the file can be neither created nor read.
bool readPlayerFile(const char* path, std::size_t limit, std::string& text);

// Replaces the file at `path` with `bytes` so that a reader only ever sees the old file whole or
// the new file whole: the bytes go to a temporary file in the same directory, are flushed to disk,
// and the temporary file is renamed over `path`. What the player set up is kept: a symbolic link
// is followed and stays (the link's final target is replaced; a dangling link creates it), the
// replaced file keeps its permission bits and, where this user may, its owner and group, and a
// file that this user could not open for writing is not replaced at all. On any failure the old
// file is left untouched, the temporary file is removed and false is returned.
bool replaceFileContents(const char* path, std::string_view bytes);
