// Bitmap files cut short, or not bitmaps at all, are told from whole ones before the system loads them.
#include "skin/BitmapFileCheck.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Check(const std::string& bytes, std::uint64_t fileSize) {
    return IsCompleteBitmapFile(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                bytes.size() < kBitmapHeadBytes ? bytes.size() : kBitmapHeadBytes, fileSize);
}

bool Check(const std::string& bytes) {
    return Check(bytes, bytes.size());
}

std::string With32(std::string bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

TEST(BitmapFileCheck, WholeFilesPass) {
    EXPECT_TRUE(Check(BmpFileBytes(16, 16, RGB(1, 2, 3))));
    EXPECT_TRUE(Check(BmpFileBytes(1, 18, RGB(1, 2, 3))));
    EXPECT_TRUE(Check(BmpFileBytes(113, 13, RGB(1, 2, 3)))); // rows padded to 4 bytes
    // Extra bytes after the pixels are harmless.
    EXPECT_TRUE(Check(BmpFileBytes(5, 5, RGB(1, 2, 3)) + "trailing"));
}

TEST(BitmapFileCheck, BrokenFilesFail) {
    const std::string whole = BmpFileBytes(16, 16, RGB(1, 2, 3));
    struct Row {
        const char* name;
        std::string bytes;
        std::uint64_t size;
    };
    const Row rows[] = {
        {"empty", "", 0},
        {"text", "this is not a bitmap\r\n", 22},
        {"header only", whole.substr(0, 54), 54},
        {"one byte short", whole.substr(0, whole.size() - 1), whole.size() - 1},
        {"cut in the header", whole.substr(0, 30), 30},
        {"wrong magic", "XM" + whole.substr(2), whole.size()},
        {"zero width", With32(whole, 18, 0), whole.size()},
        {"negative width", With32(whole, 18, 0xFFFFFFF0u), whole.size()},
        {"zero height", With32(whole, 22, 0), whole.size()},
        {"huge height", With32(whole, 22, 0x7FFFFFFF), whole.size()},
        {"pixels start beyond the end", With32(whole, 10, 0x7FFFFFFF), whole.size()},
        {"pixels start inside the header", With32(whole, 10, 20), whole.size()},
        {"unknown header size", With32(whole, 14, 20), whole.size()},
        {"unknown depth", With32(whole, 28, 7), whole.size()},
    };
    for (const Row& row : rows)
        EXPECT_FALSE(Check(row.bytes, row.size)) << row.name;
}

TEST(BitmapFileCheck, TopDownBitmapsCountTheirRows) {
    const std::string whole = BmpFileBytes(8, 8, RGB(1, 2, 3));
    EXPECT_TRUE(Check(With32(whole, 22, static_cast<std::uint32_t>(-8))));
    EXPECT_FALSE(Check(With32(whole, 22, static_cast<std::uint32_t>(-9))));
}

TEST(BitmapFileCheck, CompressedDataMustHoldItsStatedSize) {
    std::string rle = With32(BmpFileBytes(8, 8, RGB(1, 2, 3)), 30, 1); // BI_RLE8
    rle = With32(rle, 34, 100);
    rle[28] = 8;
    EXPECT_TRUE(Check(rle.substr(0, 54 + 100)));
    EXPECT_FALSE(Check(rle.substr(0, 54 + 99)));
    EXPECT_FALSE(Check(With32(rle, 34, 0)));
}

} // namespace
