// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/player_file.h"

class Font;

// One place of the table; copied by value when the table is sorted.
struct HighscoreEntry {
    char name[20];        // NUL-terminated, at most 19 characters; default "stone"
    std::uint32_t score;  // points; default 100
};

// The ten best results, kept between runs in "highscore.lst".
//
// File format: ten records, first place first, each two lines: the name with every blank written
// as "_", then the score in plain decimal. Reading skips white space and takes tokens alternately
// as a name and a score (C notation: 0x hexadecimal, leading 0 octal); "_" reads back as a blank.
// Extensions of this game's own:
//  - An empty name is written as "~". In general a name made only of tildes is written with one
//    tilde more, and a token made only of tildes reads back with one tilde fewer; players cannot
//    type "~" (codes 32..122), so every other name is written as before.
//  - A name token longer than 19 characters keeps its first 19; the rest of it is skipped.
//  - A score token "+N" reads as N, "-N" as 0 (a negative score is the lowest there is).
//  - A token that is not a number gives 0, a number above 4294967295 gives 4294967295; either
//    stops the reading, so every later field keeps its previous value, as does every field after
//    an early end of the file.
//  - Only the first kMaxFileBytes bytes of a file are read, and nothing after the tenth record
//    (a save in place cut short relies on it).
class HighscoreTable {
public:
    static constexpr int kEntries = 10;
    static constexpr std::size_t kMaxFileBytes = 1 << 20;

    // Ten times ("stone", 100); no font.
    HighscoreTable();

    // Non-owning; set at start-up once the font is built, before the first draw.
    void setFont(const Font* font) { font_ = font; }

    // Reads the file over the current entries; the table takes the file's order, sorted or not. A
    // file that is missing or cannot be read leaves the table as it is; what was found tells the
    // caller whether the file may be written at exit.
    FileRead load(const char* path);
    // Replaces the file whole (temporary file, flush to disk, rename), so a failed or interrupted
    // save leaves the old file as it was; where a new file cannot take the old one's place (a
    // directory the player may not write, a hard-linked file, another user's file) writes over the
    // file in place, which a crash before the cut to length leaves reading as the new table. See
    // replaceFileContents. Returns false on failure; the game ignores it.
    bool save(const char* path) const;

    // The reading half of load, on text already in memory.
    void readText(std::string_view text);
    // The exact bytes save writes.
    std::string toText() const;

    // The 1-based place a result of `points` would take, or 0 for none. Equal scores do not beat
    // older ones.
    int rankOf(std::uint32_t points) const;
    // Overwrites the tenth entry with the result and sorts it up, below every older entry with
    // the same score. Names are cut to 19 characters.
    void insert(const char* name, std::uint32_t points);

    // Draws the table; rows whose score equals `highlight` are red. Leaves the colour white.
    void draw(std::uint32_t highlight) const;

    // Index 0 is the first place.
    const std::array<HighscoreEntry, kEntries>& entries() const { return entries_; }

private:
    std::array<HighscoreEntry, kEntries> entries_;  // descending after insert; file order after load
    const Font* font_ = nullptr;                    // not owned; null until setFont
};
