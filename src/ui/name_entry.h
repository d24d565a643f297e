// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

class Font;

// The one-line field where a player types a name for the high-score table. It owns the text
// buffer and a copy of the prompt from `begin` on; each `begin` starts afresh.
class NameEntry {
public:
    NameEntry() = default;

    // Non-owning; set at start-up once the font is built.
    void setFont(const Font* font) { font_ = font; }

    // Starts a new input of at most capacity - 1 characters with the given prompt, discarding any
    // earlier one. A capacity below 1 is taken as 1 (an always empty text); a null prompt as "".
    void begin(int capacity, const char* prompt);
    // Adds c at the end if there is room; otherwise (or for a NUL) nothing changes.
    void appendChar(char c);
    // Removes the last character; nothing on an empty text.
    void backspace();
    // For entering a name without letter keys. addChar adds a character 'A' if there is room;
    // stepLastChar steps the last character `steps` places forwards (or backwards) through the
    // characters a name is made of, A-Z, a-z, 0-9 and the space, wrapping round (any other
    // character becomes 'A'; an empty text gets a first character as addChar gives it).
    void addChar();
    void stepLastChar(int steps);
    // The prompt in red, the text in white below it and a "_" mark after the last character.
    // Leaves the colour white. Nothing before the first begin.
    void draw() const;

    // The typed text; "" before the first begin.
    const char* text() const { return text_ ? text_.get() : ""; }
    const char* prompt() const { return prompt_ ? prompt_.get() : ""; }
    int length() const { return length_; }

private:
    const Font* font_ = nullptr;      // not owned; null until setFont
    int capacity_ = 0;                // bytes of text_, terminator included; 0 before begin
    std::unique_ptr<char[]> text_;    // capacity_ bytes, always NUL-terminated; null before begin
    std::unique_ptr<char[]> prompt_;  // NUL-terminated copy of the prompt; null before begin
    int length_ = 0;                  // characters in text_, 0..capacity_ - 1
};
