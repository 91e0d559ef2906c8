// The skin's readers of outside files: the skin description and the bitmap headers.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

#include <cstdio>

#include "skin/BitmapFileCheck.h"
#include "skin/SkinReader.h"

// A skin description is any file the user points the program at.
void Fuzz_skin_description(const std::uint8_t* data, std::size_t size)
{
    std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (stream == nullptr) {
        return; // fmemopen refuses an empty buffer
    }
    SkinEntry entry;
    int rounds = 0;
    while (!std::feof(stream) && rounds++ <= static_cast<int>(size)) {
        if (ReadSkinEntry(stream, entry)) {
            FUZZ_CHECK(std::strlen(entry.key) < kSkinKeySize && std::strlen(entry.value) < kSkinValueSize);
            for (const char* c = entry.key; *c != '\0'; ++c) {
                FUZZ_CHECK(!(*c >= 'A' && *c <= 'Z'));
            }
        }
    }
    std::fclose(stream);
}

// A skin bitmap: the head of the file as read, the file's size as the system reports it. The
// whole input is a file; with more than the head's bytes, the last eight also stand for the
// size of a longer file whose head this is.
void Fuzz_bitmap_check(const std::uint8_t* data, std::size_t size)
{
    const std::size_t head = size < kBitmapHeadBytes ? size : kBitmapHeadBytes;
    IsCompleteBitmapFile(data, head, size);
    if (size >= kBitmapHeadBytes + 8) {
        std::uint64_t claimed = 0;
        std::memcpy(&claimed, data + size - 8, 8);
        IsCompleteBitmapFile(data, kBitmapHeadBytes, claimed < kBitmapHeadBytes ? kBitmapHeadBytes : claimed);
    }
}
