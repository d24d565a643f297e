// SPDX-License-Identifier: MIT
#pragma once

#include "files/player_file.h"

// The four on/off settings of the game, kept in "game.cfg" in the working directory.
// One global record; the Application, the Menu and the board drawing hold plain pointers to it.
// Field order is the order of the options menu items, which flips field i for item i.
struct Settings {
    unsigned char snowflakes = 1;  // snow falls during play; 0 or 1, default 1
    unsigned char music = 1;       // background tune plays; 0 or 1, default 1
    unsigned char reflection = 1;  // far copy of the board behind a grey pane; 0 or 1, default 1
    unsigned char fullscreen = 1;  // full-screen video mode at start-up; 0 or 1, default 1

    Settings() = default;
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The flags by name, numbered in field order; the options menu's item i flips flag i.
    enum class Flag : int { snowflakes = 0, music = 1, reflection = 2, fullscreen = 3 };
    unsigned char& flag(Flag f);

    // Reads "fullscreen music reflection snowflakes" as C-notation integers (non-zero = on). A
    // value that is missing keeps the flag as it is; a token that is not a number turns its flag
    // off and makes every later value missing. Nothing after the fourth value is read (a save in
    // place cut short relies on it). A file that is missing or cannot be read leaves every flag as
    // it is; what was found tells the caller whether the file may be written at exit.
    FileRead load(const char* fileName);

    // Writes exactly seven characters ("1 1 1 1", no line feed) as replaceFileContents does: a
    // temporary file renamed over fileName, so the old file survives a failed write whole, or,
    // where a new file cannot take the old one's place (a directory the player may not write, a
    // hard-linked file, another user's file), over the file in place; a crash before that is cut
    // to length leaves the new values and a blank before the old file's tail, which load reads as
    // the new values. Returns false when the file was not written (the caller ignores it; the
    // game reports nothing).
    bool save(const char* fileName) const;
};
