// SPDX-License-Identifier: MIT
// Any bytes read as "highscore.lst" must give a table whose names fit their field, and whose
// file reads back to the same table and writes back to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "ui/highscore_table.h"

namespace {

void check(bool ok, const char* what) {
    if (!ok) (std::fprintf(stderr, "highscore fuzz: %s\n", what), std::abort());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HighscoreTable first;
    first.readText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const HighscoreEntry& e : first.entries())
        check(std::memchr(e.name, '\0', sizeof e.name) != nullptr, "name without terminator");

    const std::string written = first.toText();
    HighscoreTable second;
    second.readText(written);
    for (int i = 0; i < HighscoreTable::kEntries; ++i) {
        check(std::strcmp(first.entries()[i].name, second.entries()[i].name) == 0, "name changed");
        check(first.entries()[i].score == second.entries()[i].score, "score changed");
    }
    check(second.toText() == written, "second write differs");
    return 0;
}
