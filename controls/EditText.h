#pragma once

#include <string>
#include <vector>

// The edit field's text apart from its window: at most 511 characters, the left edge of each character, and the
// copy out that leaves a buffer alone when the text would not fit with its terminator.
class EditText {
public:
    static constexpr size_t kMaxText = 511;
    static constexpr int kFirstX = 3;

    // widthOf gives a character's width measured alone in the field's font.
    template <class WidthOf> void Set(const char* newText, WidthOf widthOf) {
        text.assign(newText ? newText : "");
        if (text.size() > kMaxText)
            text.resize(kMaxText);
        charX.assign(1, kFirstX);
        for (char c : text)
            charX.push_back(charX.back() + widthOf(c));
    }
    const std::string& Text() const { return text; }
    int Count() const { return static_cast<int>(text.size()); }
    // x of the left edge of character k; charX(Count()) is the end of the text.
    const std::vector<int>& CharX() const { return charX; }
    // Copies the text with its terminator when its length is less than size; otherwise leaves buffer as it was.
    bool CopyTo(char* buffer, int size) const;

private:
    std::string text;
    std::vector<int> charX = std::vector<int>(1, kFirstX);
};
