// SPDX-License-Identifier: MIT
#include "app/settings.h"

#include <cstdio>
#include <string>

#include "app/player_file.h"

Settings gSettings;

namespace {

// Reads the C-notation integers of "game.cfg" one after another, as a formatted stream read of
// an int would: white space skipped, then at most 15 characters of optional sign, base prefix
// and digits. Only whether a value is zero matters, so no arithmetic (and no overflow) happens.
class FlagReader {
public:
    explicit FlagReader(std::string text) : text_(std::move(text)) {}

    enum class Result { Zero, NonZero, Missing };

    Result next() {
        if (failed_) return Result::Missing;
        while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
        if (pos_ >= text_.size()) {
            failed_ = true;
            return Result::Missing;
        }
        const size_t start = pos_;
        const size_t limit = start + 15;
        size_t p = start;
        if (text_[p] == '+' || text_[p] == '-') ++p;
        bool nonZero = false;
        bool anyDigit = false;
        auto at = [&](size_t i) { return i < limit && i < text_.size() ? text_[i] : '\0'; };
        if (at(p) == '0') {
            anyDigit = true;
            ++p;
            if ((at(p) == 'x' || at(p) == 'X') && isHex(at(p + 1))) {
                p += 1;
                while (isHex(at(p))) nonZero |= text_[p++] != '0';
            } else {
                while (at(p) >= '0' && at(p) <= '7') nonZero |= text_[p++] != '0';
            }
        } else {
            while (at(p) >= '0' && at(p) <= '9') {
                anyDigit = true;
                nonZero |= text_[p++] != '0';
            }
        }
        if (!anyDigit) {
            failed_ = true;
            return Result::Zero;
        }
        pos_ = p;
        return nonZero ? Result::NonZero : Result::Zero;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    static bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

    std::string text_;
    size_t pos_ = 0;
    bool failed_ = false;
};

// More than enough for four values and any sane amount of white space; the rest of a huge file
// is never needed.
constexpr size_t kMaxSettingsBytes = 1 << 20;

}  // namespace

unsigned char& Settings::flag(int i) {
    switch (i) {
        case 0: return snowflakes;
        case 1: return music;
        case 2: return reflection;
        default: return fullscreen;
    }
}

void Settings::load(const char* fileName) {
    std::string text;
    if (!readPlayerFile(fileName, kMaxSettingsBytes, text)) return;

    FlagReader reader(std::move(text));
    unsigned char* const order[4] = {&fullscreen, &music, &reflection, &snowflakes};
    for (unsigned char* field : order) {
        const FlagReader::Result r = reader.next();
        if (r != FlagReader::Result::Missing) *field = r == FlagReader::Result::NonZero ? 1 : 0;
    }
}

bool Settings::save(const char* fileName) const {
    char out[8];
    std::snprintf(out, sizeof out, "%d %d %d %d", fullscreen ? 1 : 0, music ? 1 : 0, reflection ? 1 : 0,
                  snowflakes ? 1 : 0);
    return replaceFileContents(fileName, std::string_view(out, 7));
}
