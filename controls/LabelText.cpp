#include "controls/LabelText.h"

#include "framework/Utf8.h"

#include <algorithm>

void LabelText::Set(const char* newText) {
    text.assign(newText ? newText : "");
    // Cut between characters: half a UTF-8 character would draw as a stray mark.
    text.resize(Utf8CutPoint(text, kMaxText));
    lineCount = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string LabelText::Line(int i) const {
    if (i < 0)
        return {};
    size_t start = 0;
    for (int k = 0; k < i; ++k) {
        const size_t feed = text.find('\n', start);
        if (feed == std::string::npos)
            return {};
        start = feed + 1;
    }
    const size_t feed = text.find('\n', start);
    const size_t length = (feed == std::string::npos ? text.size() : feed) - start;
    const std::string_view line = std::string_view(text).substr(start, length);
    return std::string(line.substr(0, Utf8CutPoint(line, kMaxLine)));
}
