// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <string_view>

// Writes one diagnostic line to standard output: its pieces one after another, a line feed, then a
// flush. No level, prefix or time stamp. Write errors (no console) are ignored.
void logLine(std::initializer_list<std::string_view> pieces);
// The text, or "" for null (glGetString and SDL_GetError may give null).
const char* orEmpty(const char* text);
