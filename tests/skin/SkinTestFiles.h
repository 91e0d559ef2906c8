#pragma once
// Files for the skin tests without <windows.h>, so that the tests of the skin description and bitmap checks run in the
// native sanitizer build as well as under Wine: bitmap file bytes made in memory, and a temporary file.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// The bytes of a 24-bit BMP file of one colour, given as 0x00BBGGRR (a COLORREF).
inline std::string BmpFileBytes(int width, int height, std::uint32_t colour = 0x030201) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * height);
    std::string out = "BM";
    const std::uint32_t fields[][2] = {{54 + imageBytes, 4},
                                       {0, 4},
                                       {54, 4},
                                       {40, 4},
                                       {static_cast<std::uint32_t>(width), 4},
                                       {static_cast<std::uint32_t>(height), 4},
                                       {1, 2},
                                       {24, 2},
                                       {0, 4},
                                       {imageBytes, 4},
                                       {2835, 4},
                                       {2835, 4},
                                       {0, 8}};
    for (const auto& [value, bytes] : fields)
        for (std::uint32_t i = 0; i < bytes; ++i)
            out.push_back(static_cast<char>(i < 4 ? value >> (8 * i) : 0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out.append({static_cast<char>(colour >> 16), static_cast<char>(colour >> 8), static_cast<char>(colour)});
        out.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return out;
}

// A file of these bytes under the temporary folder, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        static int serial = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path = std::filesystem::temp_directory_path() /
               ("movara_" + std::to_string(stamp) + "_" + std::to_string(++serial) + ".tmp");
        std::ofstream(path, std::ios::binary) << bytes;
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string Path() const { return path.string(); }

private:
    std::filesystem::path path;
};
