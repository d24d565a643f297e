// SPDX-License-Identifier: MIT
#include "ui/highscore_table.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "files/player_file.h"
#include "files/token_reader.h"
#include "render/font.h"
#include "render/text_layout.h"

namespace {

constexpr std::size_t kNameChars = sizeof(HighscoreEntry::name) - 1;  // 19

// Length of a C string, counting at most `limit` characters and reading nothing beyond them.
std::size_t nameLength(const char* name, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && name[n] != '\0') ++n;
    return n;
}

// Copies a name token into a table entry's field: at most 19 characters, ending at a NUL byte.
// A token made only of tildes is the marker of a name made only of tildes, one fewer.
void storeName(std::string_view token, char (&name)[kNameChars + 1]) {
    token = token.substr(0, std::min(token.find('\0'), token.size()));
    std::size_t length = std::min(token.size(), kNameChars);
    if (!token.empty() && token.find_first_not_of('~') == std::string_view::npos)
        length = std::min(token.size() - 1, kNameChars);
    std::memcpy(name, token.data(), length);
    std::memset(name + length, 0, sizeof name - length);
}

// Appends one name as its file token: blanks (and any other white space) as "_", and a name
// made only of tildes, the empty one included, with one tilde more.
void appendNameToken(std::string& out, const char* name) {
    const std::size_t length = nameLength(name, kNameChars);
    bool tildesOnly = true;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = name[i];
        tildesOnly = tildesOnly && c == '~';
        out += TokenReader::isSpace(c) ? '_' : c;
    }
    if (tildesOnly) out += '~';
}

}  // namespace

HighscoreTable::HighscoreTable() {
    for (HighscoreEntry& e : entries_) {
        std::memset(e.name, 0, sizeof e.name);
        std::memcpy(e.name, "stone", 5);
        e.score = 100;
    }
}

FileRead HighscoreTable::load(const char* path) {
    std::string text;
    const FileRead found = readPlayerFile(path, kMaxFileBytes, text);
    if (found == FileRead::read) readText(text);
    return found;
}

void HighscoreTable::readText(std::string_view text) {
    TokenReader reader(text);
    for (HighscoreEntry& e : entries_) {
        if (const auto name = reader.word()) storeName(*name, e.name);
        if (const auto score = reader.number()) {
            // A negative score is the lowest there is; one too large stops the reading.
            e.score = score->negative ? 0 : score->magnitude;
            if (score->tooLarge && !score->negative) reader.stop();
        }
        for (char* c = e.name; c < e.name + sizeof e.name && *c; ++c)
            if (*c == '_') *c = ' ';
    }
}

std::string HighscoreTable::toText() const {
    std::string out;
    out.reserve(kEntries * 32);
    char number[16];
    for (const HighscoreEntry& e : entries_) {
        appendNameToken(out, e.name);
        std::snprintf(number, sizeof number, "\n%u\n", static_cast<unsigned>(e.score));
        out += number;
    }
    return out;
}

bool HighscoreTable::save(const char* path) const { return replaceFileContents(path, toText()); }

int HighscoreTable::rankOf(std::uint32_t points) const {
    for (int i = 0; i < kEntries; ++i)
        if (entries_[i].score < points) return i + 1;
    return 0;
}

void HighscoreTable::insert(const char* name, std::uint32_t points) {
    HighscoreEntry& last = entries_[kEntries - 1];
    std::memset(last.name, 0, sizeof last.name);
    if (name) std::memcpy(last.name, name, nameLength(name, kNameChars));
    last.score = points;
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const HighscoreEntry& a, const HighscoreEntry& b) { return a.score > b.score; });
}

void HighscoreTable::draw(std::uint32_t highlight) const {
    if (!font_) return;
    using namespace textLayout;
    glColor3f(1, 0, 0);
    font_->print(kTableTitle, "Highscores", false);
    char scratch[64];
    for (int i = 0; i < kEntries; ++i) {
        const HighscoreEntry& e = entries_[i];
        const float y = kTableTopY - kTableRowStep * static_cast<float>(i);
        if (e.score == highlight)
            glColor3f(1, 0, 0);
        else
            glColor3f(1, 1, 1);
        std::snprintf(scratch, sizeof scratch, "%d.", i + 1);
        font_->print(kTablePlaceX, y, scratch, false);
        font_->print(kTableNameX, y, e.name, false);
        // Unsigned: a hand-edited score above 2147483647 must not show as negative.
        std::snprintf(scratch, sizeof scratch, "%u", static_cast<unsigned>(e.score));
        font_->print(kTableScoreX, y, scratch, true);
    }
    glColor3f(1, 1, 1);
    font_->print(kBackKey, "ESC", true);
    font_->print(kBackWord, "Back", false);
}
