// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <string_view>

// Writes one diagnostic line to standard output: its pieces one after another, then a line feed.
// No level, prefix or time stamp. Never blocks and never fails the game: what a full pipe or a
// terminal on hold cannot take now is dropped, and so is everything when nothing reads the output.
void logLine(std::initializer_list<std::string_view> pieces);
// Tells the player why something went wrong: one line on standard error, "yuletumble: " and the
// pieces, written as logLine writes.
void reportProblem(std::initializer_list<std::string_view> pieces);
// The text, or "" for null (glGetString and SDL_GetError may give null).
const char* orEmpty(const char* text);
