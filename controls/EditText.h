#pragma once

#include "framework/Utf8.h"

#include <string>
#include <string_view>
#include <vector>

// The edit field's text apart from its window: at most 511 bytes of UTF-8, cut between characters, the left edge of
// each character (of one to four bytes), and the copy out that leaves a buffer alone when the text would not fit with
// its terminator.
class EditText {
public:
    static constexpr size_t kMaxText = 511;
    static constexpr int kFirstX = 3;

    // widthOf gives a character's width (its bytes as a std::string_view) measured alone in the field's font.
    template <class WidthOf> void Set(const char* newText, WidthOf widthOf) {
        text.assign(newText ? newText : "");
        text.resize(Utf8CutPoint(text, kMaxText));
        charX.assign(1, kFirstX);
        for (size_t at = 0; at < text.size();) {
            const size_t length = Utf8CharLength(text, at);
            charX.push_back(charX.back() + widthOf(std::string_view(text).substr(at, length)));
            at += length;
        }
    }
    const std::string& Text() const { return text; }
    // Characters, not bytes.
    int Count() const { return static_cast<int>(charX.size()) - 1; }
    // x of the left edge of character k; charX(Count()) is the end of the text.
    const std::vector<int>& CharX() const { return charX; }
    // Copies the text with its terminator when its length is less than size; otherwise leaves buffer as it was.
    bool CopyTo(char* buffer, int size) const;

private:
    std::string text;
    std::vector<int> charX = std::vector<int>(1, kFirstX);
};
