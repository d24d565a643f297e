// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Reads the tokens of a player's file ("game.cfg", "highscore.lst") the way a formatted text
// stream would: white space (blank, tab, line ends, vertical tab, form feed) is skipped before each
// token, and once a read has failed, every later read fails and changes nothing.
class TokenReader {
public:
    // An integer as read: its magnitude, saturated at UINT32_MAX, and its sign.
    struct Number {
        std::uint32_t magnitude = 0;
        bool negative = false;
        bool tooLarge = false;  // the magnitude went past UINT32_MAX
    };

    explicit TokenReader(std::string_view text) : text_(text) {}

    // An integer in C notation: an optional sign, then "0x" or "0X" and hexadecimal digits, a
    // leading "0" and octal digits, or decimal digits; at most `maxChars` characters. The number
    // ends at the first character that cannot continue it, which stays for the next read.
    // Nothing at the end of the text. A token with no digit where the number begins reads as 0
    // and fails the reader.
    std::optional<Number> number(std::size_t maxChars = SIZE_MAX);
    // A run of characters up to the next white space or the end; nothing at the end of the text.
    std::optional<std::string_view> word();
    // Fails the reader: every later read gives nothing.
    void stop() { failed_ = true; }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

private:
    bool skipSpace();  // false (and failed) at the end of the text

    std::string_view text_;
    std::size_t pos_ = 0;  // next unread character
    bool failed_ = false;
};
