// Bitmap files cut short, or not bitmaps at all, are told from whole ones before the system loads them.
#include "skin/BitmapFileCheck.h"

#include "SkinTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string With32(std::string bytes, size_t at, std::uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

// An 8 x 8 BI_RLE8 bitmap whose header states this many bytes of compressed data.
std::string Rle(std::uint32_t stated) {
    std::string rle = With32(With32(BmpFileBytes(8, 8), 30, 1), 34, stated);
    rle[28] = 8;
    return rle;
}

TEST(BitmapFileCheck, TellsWholeFilesFromBrokenOnes) {
    const std::string whole = BmpFileBytes(16, 16);
    const std::string small = BmpFileBytes(8, 8);
    struct Row {
        const char* name;
        std::string bytes;
        bool complete;
    };
    const Row rows[] = {
        {"rows padded to 4 bytes", BmpFileBytes(113, 13), true},
        {"bytes after the pixels", BmpFileBytes(5, 5) + "trailing", true},
        {"top-down counts its rows", With32(small, 22, static_cast<std::uint32_t>(-8)), true},
        {"top-down with one row too many", With32(small, 22, static_cast<std::uint32_t>(-9)), false},
        {"compressed data of its stated size", Rle(100).substr(0, 54 + 100), true},
        {"compressed data one byte short", Rle(100).substr(0, 54 + 99), false},
        {"compressed data of no size", Rle(0), false},
        {"empty", "", false},
        {"one byte short", whole.substr(0, whole.size() - 1), false},
        {"wrong magic", "XM" + whole.substr(2), false},
        {"zero width", With32(whole, 18, 0), false},
        {"huge height", With32(whole, 22, 0x7FFFFFFF), false},
        {"pixels start beyond the end", With32(whole, 10, 0x7FFFFFFF), false},
        {"pixels start inside the header", With32(whole, 10, 20), false},
        {"unknown header size", With32(whole, 14, 20), false},
        {"unknown depth", With32(whole, 28, 7), false},
    };
    for (const Row& row : rows) {
        const auto* head = reinterpret_cast<const std::uint8_t*>(row.bytes.data());
        EXPECT_EQ(IsCompleteBitmapFile(head, std::min(row.bytes.size(), kBitmapHeadBytes), row.bytes.size()),
                  row.complete)
            << row.name;
    }
}

} // namespace
