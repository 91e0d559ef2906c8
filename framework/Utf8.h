#pragma once

#include <cstddef>
#include <string_view>

// The program's texts are UTF-8: a character may take one to four bytes, so a text is only ever cut between
// characters. Plain functions without <windows.h>, for the logic that builds natively too.

// Bytes of the character that starts at text[at]: 1 for ASCII and for a byte that starts no valid sequence (so that
// a walk over broken text still moves on), else the length its lead byte announces, never past the text's end.
inline std::size_t Utf8CharLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t announced = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xF8 || at + announced > text.size())
        return 1;
    for (std::size_t k = 1; k < announced; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 1;
    return announced;
}

// The longest length of at most `limit` bytes that ends between two characters of text.
inline std::size_t Utf8CutPoint(std::string_view text, std::size_t limit) {
    if (text.size() <= limit)
        return text.size();
    std::size_t cut = 0;
    for (std::size_t at = 0; at < limit;) {
        at += Utf8CharLength(text, at);
        if (at <= limit)
            cut = at;
    }
    return cut;
}
