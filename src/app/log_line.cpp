// SPDX-License-Identifier: MIT
#include "app/log_line.h"

#include <cstdio>

void logLine(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) std::fwrite(piece.data(), 1, piece.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

const char* orEmpty(const char* text) { return text ? text : ""; }
