// SPDX-License-Identifier: MIT
#include "files/token_reader.h"

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

}  // namespace

bool TokenReader::skipSpace() {
    if (failed_) return false;
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) failed_ = true;
    return !failed_;
}

std::optional<TokenReader::Number> TokenReader::number(std::size_t maxChars) {
    if (!skipSpace()) return std::nullopt;
    const std::size_t end = text_.size() - pos_ > maxChars ? pos_ + maxChars : text_.size();
    const auto at = [&](std::size_t i) { return i < end ? text_[i] : '\0'; };
    Number n;
    std::size_t p = pos_;
    if (at(p) == '+' || at(p) == '-') n.negative = text_[p++] == '-';
    int base = 10;
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
    for (int d; (d = digitValue(at(p))) < base; ++p) {
        anyDigit = true;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > UINT32_MAX) {
            n.tooLarge = true;
            value = UINT32_MAX;  // keeps the product far from 64-bit overflow
        }
    }
    if (!anyDigit) {
        failed_ = true;
        return Number{};
    }
    pos_ = p;
    n.magnitude = static_cast<std::uint32_t>(value);
    return n;
}

std::optional<std::string_view> TokenReader::word() {
    if (!skipSpace()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
}
