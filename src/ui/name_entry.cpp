// SPDX-License-Identifier: MIT
#include "ui/name_entry.h"

#include <GL/gl.h>

#include <cstring>
#include <string_view>

#include "render/font.h"
#include "render/text_layout.h"

namespace {
// The characters a name entered without letter keys is made of, in the order they are stepped.
constexpr std::string_view kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 ";
}  // namespace

void NameEntry::begin(int capacity, const char* prompt) {
    if (capacity < 1) capacity = 1;
    if (!prompt) prompt = "";
    capacity_ = capacity;
    text_ = std::make_unique<char[]>(static_cast<std::size_t>(capacity));  // zero-filled
    const std::size_t promptBytes = std::strlen(prompt) + 1;
    prompt_ = std::make_unique<char[]>(promptBytes);
    std::memcpy(prompt_.get(), prompt, promptBytes);
    length_ = 0;
}

void NameEntry::appendChar(char c) {
    // A NUL would end the text early and leave length() counting characters nobody sees.
    if (!text_ || c == '\0' || length_ >= capacity_ - 1) return;
    text_[length_] = c;
    text_[length_ + 1] = '\0';
    ++length_;
}

void NameEntry::backspace() {
    if (!text_) return;
    if (length_ > 0) --length_;
    text_[length_] = '\0';
}

void NameEntry::addChar() { appendChar(kNameChars[0]); }

void NameEntry::stepLastChar(int steps) {
    if (length_ == 0) return addChar();
    char& last = text_[length_ - 1];
    const std::size_t at = kNameChars.find(last);
    const int n = static_cast<int>(kNameChars.size());
    last = at == std::string_view::npos ? kNameChars[0] : kNameChars[((static_cast<int>(at) + steps) % n + n) % n];
}

void NameEntry::draw() const {
    if (!font_ || !text_) return;
    using namespace textLayout;
    const float x = centred(kPromptCentre.x, std::strlen(prompt_.get()));
    glColor3f(1, 0, 0);
    font_->print(x, kPromptCentre.y, prompt_.get(), false);
    glColor3f(1, 1, 1);
    font_->print(x + kNameIndent, kNameY, text_.get(), false);
    font_->print(x + kNameIndent + kGlyphStep * static_cast<float>(length_), kNameY, "_", false);
}
