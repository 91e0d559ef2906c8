#pragma once

#include <cstddef>
#include <cstdint>

// Whether a bitmap file holds all the pixel data its headers promise. The system's loader accepts a file cut short
// and reads its missing rows from beyond the data, so a skin bitmap is checked before it is loaded. head is the
// start of the file (kBitmapHeadBytes or the whole file if shorter); fileSize is the file's real size.
inline constexpr std::size_t kBitmapHeadBytes = 64;

bool IsCompleteBitmapFile(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize);
