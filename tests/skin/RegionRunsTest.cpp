// Which pixels a window region leaves out: the key colour and the box of its tolerance.
#include "skin/RegionRuns.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16));
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
