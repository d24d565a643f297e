// SPDX-License-Identifier: MIT
#include "files/settings.h"

#include <cstdio>
#include <string>

#include "files/token_reader.h"

namespace {

// More than enough for four values and any sane amount of white space; the rest of a huge file
// is never needed.
constexpr size_t kMaxSettingsBytes = 1 << 20;
// A value is at most this many characters of sign, base prefix and digits.
constexpr size_t kMaxValueChars = 15;

}  // namespace

unsigned char& Settings::flag(Flag f) {
    switch (f) {
        case Flag::snowflakes: return snowflakes;
        case Flag::music: return music;
        case Flag::reflection: return reflection;
        case Flag::fullscreen: return fullscreen;
    }
    return fullscreen;  // not reached: every flag is named above
}

FileRead Settings::load(const char* fileName) {
    std::string text;
    const FileRead found = readPlayerFile(fileName, kMaxSettingsBytes, text);

    // Only zero or not zero matters: a sign or a value too large for any integer is still not 0.
    TokenReader reader(text);
    for (unsigned char* field : {&fullscreen, &music, &reflection, &snowflakes})
        if (const auto value = reader.number(kMaxValueChars)) *field = value->magnitude != 0 ? 1 : 0;
    return found;
}

bool Settings::save(const char* fileName) const {
    char out[8];
    std::snprintf(out, sizeof out, "%d %d %d %d", fullscreen ? 1 : 0, music ? 1 : 0, reflection ? 1 : 0,
                  snowflakes ? 1 : 0);
    return replaceFileContents(fileName, std::string_view(out, 7));
}
