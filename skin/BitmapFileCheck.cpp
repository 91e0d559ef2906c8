#include "skin/BitmapFileCheck.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

std::uint32_t U16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool KnownDepth(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool IsCompleteBitmapFile(const std::uint8_t* head, std::size_t headSize, std::uint64_t fileSize) {
    if (!head || headSize < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M')
        return false;
    const std::uint64_t offBits = U32(head + 10);
    const std::uint32_t infoSize = U32(head + 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t sizeImage = 0;
    if (infoSize == kCoreHeaderBytes) {
        if (headSize < kFileHeaderBytes + kCoreHeaderBytes)
            return false;
        width = U16(head + 18);
        height = U16(head + 20);
        bitCount = U16(head + 24);
    } else if (infoSize >= kInfoHeaderBytes) {
        if (headSize < kFileHeaderBytes + kInfoHeaderBytes)
            return false;
        width = static_cast<std::int32_t>(U32(head + 18));
        height = static_cast<std::int32_t>(U32(head + 22));
        bitCount = U16(head + 28);
        compression = U32(head + 30);
        sizeImage = U32(head + 34);
    } else {
        return false;
    }
    if (width <= 0 || height == 0 || offBits < kFileHeaderBytes + infoSize || offBits > fileSize)
        return false;
    if (height < 0)
        height = -height;
    if (compression == kRgb || compression == kBitFields) {
        if (!KnownDepth(bitCount))
            return false;
        const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
        return fileSize - offBits >= rowBytes * static_cast<std::uint64_t>(height);
    }
    // Compressed data: its size is all the headers say.
    return sizeImage > 0 && fileSize - offBits >= sizeImage;
}
