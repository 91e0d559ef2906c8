#pragma once
// Files made byte by byte for the container tests.

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A 32-bit number in either byte order.
inline Bytes Number(std::uint32_t v, bool bigEndian) {
    Bytes out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (bigEndian ? 24 - 8 * i : 8 * i)));
    return out;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
