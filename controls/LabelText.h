#pragma once

#include <string>

// A label's own copy of its text, split at line feeds. At most 1023 characters are kept and each line gives at
// most 255 of its characters; longer input is cut, never overrun.
class LabelText {
public:
    static constexpr size_t kMaxText = 1023;
    static constexpr size_t kMaxLine = 255;

    void Set(const char* text);
    const std::string& Text() const { return text; }
    // 1 + the number of line feeds; 1 for an empty text.
    int LineCount() const { return lineCount; }
    // The characters between the i-th and the (i+1)-th line feed; empty beyond the last line.
    std::string Line(int i) const;

private:
    std::string text;
    int lineCount = 1;
};
