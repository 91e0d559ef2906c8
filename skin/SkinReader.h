#pragma once

#include <cstddef>
#include <cstdio>

// The skin description: a byte stream of entries "key=value". An entry is a maximal run of bytes 0x20..0x7F; every
// other byte (line breaks, tabs, NUL, anything from 0x80 up) separates entries. Entries are lower-cased as read and
// split at their first "="; nothing is trimmed, there are no sections and no comments. No <windows.h> here: the
// reader is plain stdio and is tested without windows.

// Sizes of the records, terminating NUL included.
inline constexpr std::size_t kSkinEntryTextSize = 1024; // key, "=" and value together: at most 1023 characters
inline constexpr std::size_t kSkinKeySize = 64;         // at most 63 characters
inline constexpr std::size_t kSkinValueSize = 512;      // at most 511 characters; also the size of skin paths

struct SkinEntry {
    char key[kSkinKeySize] = {};
    char value[kSkinValueSize] = {};
};

// Reads the next entry of stream. True fills entry; false leaves it as it was: the run read had no "=", the stream
// ended before any entry byte, or the entry broke a limit (longer than 1023 characters, a key longer than 63 or a
// value longer than 511). An over-long run is consumed whole, so its tail never turns into an entry of its own.
bool ReadSkinEntry(std::FILE* stream, SkinEntry& entry);

// Finds key (compared byte for byte, so callers pass lower case) in the skin description at path and copies its value
// into value (valueSize bytes, kSkinValueSize in practice). An empty or null path returns false with value untouched;
// otherwise value is emptied first and stays empty unless the key is found. The first occurrence wins.
bool LookupSkinValue(const char* path, const char* key, char* value, std::size_t valueSize);
