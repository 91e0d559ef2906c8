// Run-finding of window regions, on plain 32-bit bottom-up buffers.
#include "skin/RegionRuns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

using RunSpan = std::tuple<int, int, int>; // x0, y, x1

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16));
}

// The runs of a bottom-up picture, given top row first as text: '#' opaque, '.' the key colour.
std::vector<RunSpan> Runs(const std::vector<const char*>& rows) {
    const int w = static_cast<int>(std::char_traits<char>::length(rows[0]));
    const int h = static_cast<int>(rows.size());
    std::vector<std::uint8_t> bytes;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            bytes.insert(bytes.end(), {0, static_cast<std::uint8_t>(rows[y][x] == '.' ? 255 : 128), 0, 0});
    std::vector<RunSpan> runs;
    ForEachOpaqueRun(bytes.data(), w, h, w * 4, MakeColourBounds(Rgb(0, 255, 0), 0),
                     [&](int x0, int y, int x1) { runs.emplace_back(x0, y, x1); });
    return runs;
}

TEST(RegionRuns, FindsTheOpaqueRunsOfEveryRowTopFirst) {
    EXPECT_TRUE(Runs({".....", "....."}).empty());
    EXPECT_EQ(Runs({"####.####", "####.####"}), (std::vector<RunSpan>{{0, 0, 4}, {5, 0, 9}, {0, 1, 4}, {5, 1, 9}}));
    EXPECT_EQ(Runs({".#..", "....", "...#"}), (std::vector<RunSpan>{{1, 0, 2}, {3, 2, 4}}));
}

// A tolerance cuts exactly the box around the key colour, no pixel outside it; no tolerance cuts only the key.
TEST(ColourBounds, ToleranceCutsExactlyItsBox) {
    struct Row {
        std::uint32_t key, tolerance, colour;
        bool transparent;
    };
    const std::uint32_t red = Rgb(250, 0, 0);
    const std::uint32_t ten = Rgb(10, 10, 10);
    const Row rows[] = {
        {red, ten, Rgb(250, 0, 0), true},          {red, ten, Rgb(255, 10, 10), true},
        {red, ten, Rgb(249, 0, 0), false},         {red, ten, Rgb(250, 11, 0), false},
        {red, ten, Rgb(250, 0, 11), false},        {red, ten, Rgb(255, 10, 11), false},
        {Rgb(0, 255, 0), 0, Rgb(0, 255, 0), true}, {Rgb(0, 255, 0), 0, Rgb(1, 255, 0), false},
    };
    for (const Row& row : rows) {
        const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(row.colour >> 16),
                                       static_cast<std::uint8_t>(row.colour >> 8),
                                       static_cast<std::uint8_t>(row.colour), 0};
        EXPECT_EQ(IsTransparentPixel(pixel, MakeColourBounds(row.key, row.tolerance)), row.transparent)
            << std::hex << row.colour;
    }
    EXPECT_EQ(DibRowBytes(5, 24), 16); // rows padded to four bytes
}

} // namespace
