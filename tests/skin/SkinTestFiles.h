#pragma once
// Files for the skin tests without <windows.h>, so that the tests of the skin description and bitmap checks run in the
// native sanitizer build as well as under Wine: bitmap file bytes made in memory, and a temporary file.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The bytes of a 24-bit BMP file of one colour, given as 0x00BBGGRR (a COLORREF).
inline std::string BmpFileBytes(int width, int height, std::uint32_t colour = 0x030201) {
    const auto rowBytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    // The file and information headers, little-endian: each field's value, then its length in bytes.
    const std::uint32_t fields[] = {54 + rowBytes * h, 4, 0,    4, 54,   4, 40, 4, w, 4, h, 4, 1, 2, 24, 2, 0, 4,
                                    rowBytes * h,      4, 2835, 4, 2835, 4, 0,  8};
    std::string out = "BM";
    for (size_t f = 0; f < std::size(fields); f += 2)
        for (std::uint32_t i = 0; i < fields[f + 1]; ++i)
            out.push_back(static_cast<char>(i < 4 ? fields[f] >> (8 * i) : 0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out.append({static_cast<char>(colour >> 16), static_cast<char>(colour >> 8), static_cast<char>(colour)});
        out.append(rowBytes - w * 3, '\0');
    }
    return out;
}

// A file of these bytes under the temporary folder, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string Path() const { return path.string(); }

private:
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("movara_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".tmp");
};
