// SPDX-License-Identifier: MIT
#include "ui/highscore_table.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/player_file.h"
#include "render/font.h"

namespace {

constexpr std::size_t kNameChars = sizeof(HighscoreEntry::name) - 1;  // 19

// Length of a C string, counting at most `limit` characters and reading nothing beyond them.
std::size_t nameLength(const char* name, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && name[n] != '\0') ++n;
    return n;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// Walks the file's tokens the way a formatted text stream would: white space skipped before each
// token, and once a read fails (end of text, or a score that is no number) every later read fails
// and leaves its field alone.
class TokenReader {
public:
    explicit TokenReader(std::string_view text) : text_(text) {}

    // Reads a name token into `name`; false (name untouched) when the reading has stopped.
    bool readName(char (&name)[kNameChars + 1]) {
        if (!skipSpace()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
        std::string_view token = text_.substr(start, pos_ - start);
        // A NUL byte ends the name (the rest of the token is still skipped, so reading stays in step).
        token = token.substr(0, std::min(token.find('\0'), token.size()));
        std::size_t length = std::min(token.size(), kNameChars);
        if (!token.empty() && token.find_first_not_of('~') == std::string_view::npos)
            length = std::min(token.size() - 1, kNameChars);  // tildes only: one is the marker
        std::memcpy(name, token.data(), length);
        std::memset(name + length, 0, sizeof name - length);
        return true;
    }

    // Reads a score token into `score`; false (score untouched) when the reading has stopped
    // before it. A token that is no number or is too large sets the score and stops the reading.
    bool readScore(std::uint32_t& score) {
        if (!skipSpace()) return false;
        std::size_t p = pos_;
        bool negative = false;
        if (text_[p] == '+' || text_[p] == '-') negative = text_[p++] == '-';
        unsigned base = 10;
        bool anyDigit = false;
        if (at(p) == '0') {
            anyDigit = true;  // "0" alone, or the start of an octal or hexadecimal number
            ++p;
            base = 8;
            if ((at(p) == 'x' || at(p) == 'X') && digitValue(at(p + 1)) < 16) {
                base = 16;
                ++p;
            }
        }
        std::uint64_t value = 0;
        bool overflow = false;
        for (int d; (d = digitValue(at(p))) < static_cast<int>(base); ++p) {
            anyDigit = true;
            value = value * base + static_cast<unsigned>(d);
            if (value > UINT32_MAX) {
                overflow = true;
                value = UINT32_MAX;  // keeps the product far from 64-bit overflow
            }
        }
        if (!anyDigit) {
            score = 0;
            failed_ = true;
            return true;
        }
        pos_ = p;
        if (negative) {
            score = 0;
        } else if (overflow) {
            score = UINT32_MAX;
            failed_ = true;
            return true;
        } else {
            score = static_cast<std::uint32_t>(value);
        }
        return true;
    }

private:
    char at(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    bool skipSpace() {
        if (failed_) return false;
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) failed_ = true;
        return !failed_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Appends one name as its file token: blanks (and any other white space) as "_", and a name
// made only of tildes, the empty one included, with one tilde more.
void appendNameToken(std::string& out, const char* name) {
    const std::size_t length = nameLength(name, kNameChars);
    bool tildesOnly = true;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = name[i];
        tildesOnly = tildesOnly && c == '~';
        out += isSpace(c) ? '_' : c;
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

void HighscoreTable::load(const char* path) {
    std::string text;
    if (!readPlayerFile(path, kMaxFileBytes, text)) return;
    readText(text);
}

void HighscoreTable::readText(std::string_view text) {
    TokenReader reader(text);
    for (HighscoreEntry& e : entries_) {
        reader.readName(e.name);
        reader.readScore(e.score);
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
    glColor3f(1, 0, 0);
    font_->print(300, 350, "Highscores", false);
    char scratch[64];
    for (int i = 0; i < kEntries; ++i) {
        const HighscoreEntry& e = entries_[i];
        const float y = 300 - 20 * static_cast<float>(i);
        if (e.score == highlight)
            glColor3f(1, 0, 0);
        else
            glColor3f(1, 1, 1);
        std::snprintf(scratch, sizeof scratch, "%d.", i + 1);
        font_->print(225, y, scratch, false);
        font_->print(265, y, e.name, false);
        // Unsigned: a hand-edited score above 2147483647 must not show as negative.
        std::snprintf(scratch, sizeof scratch, "%u", static_cast<unsigned>(e.score));
        font_->print(465, y, scratch, true);
    }
    glColor3f(1, 1, 1);
    font_->print(550, 10, "ESC", true);
    font_->print(590, 10, "Back", false);
}
