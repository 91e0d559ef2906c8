// Run-finding of window regions, on plain 32-bit bottom-up buffers.
#include "skin/RegionRuns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

namespace {

using RunSpan = std::tuple<int, int, int>; // x0, y, x1

// A bottom-up 32-bit picture whose pixels are set by top-down coordinates.
class Picture {
public:
    Picture(int width, int height, std::uint32_t colour) : w(width), h(height), bytes(width * height * 4) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Set(x, y, colour);
    }
    void Set(int x, int y, std::uint32_t colour) { // colour: red in the low byte
        std::uint8_t* p = &bytes[((h - 1 - y) * w + x) * 4];
        p[0] = static_cast<std::uint8_t>(colour >> 16);
        p[1] = static_cast<std::uint8_t>(colour >> 8);
        p[2] = static_cast<std::uint8_t>(colour);
        p[3] = 0;
    }
    std::vector<RunSpan> Runs(std::uint32_t key, std::uint32_t tolerance = 0) const {
        std::vector<RunSpan> runs;
        ForEachOpaqueRun(bytes.data(), w, h, w * 4, MakeColourBounds(key, tolerance),
                         [&](int x0, int y, int x1) { runs.emplace_back(x0, y, x1); });
        return runs;
    }

private:
    int w;
    int h;
    std::vector<std::uint8_t> bytes;
};

constexpr std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r | (g << 8) | (b << 16));
}

constexpr std::uint32_t kGreen = Rgb(0, 255, 0);
constexpr std::uint32_t kGrey = Rgb(128, 128, 128);

TEST(RegionRuns, NoKeyPixelGivesOneRunPerRowTopFirst) {
    Picture picture(7, 3, kGrey);
    EXPECT_EQ(picture.Runs(kGreen), (std::vector<RunSpan>{{0, 0, 7}, {0, 1, 7}, {0, 2, 7}}));
}

TEST(RegionRuns, AllKeyGivesNoRun) {
    Picture picture(5, 4, kGreen);
    EXPECT_TRUE(picture.Runs(kGreen).empty());
}

TEST(RegionRuns, OnePixelStripeSplitsEveryRowInTwo) {
    Picture picture(9, 2, kGrey);
    for (int y = 0; y < 2; ++y)
        picture.Set(4, y, kGreen);
    EXPECT_EQ(picture.Runs(kGreen), (std::vector<RunSpan>{{0, 0, 4}, {5, 0, 9}, {0, 1, 4}, {5, 1, 9}}));
}

TEST(RegionRuns, RowsAreReadFromTheTopOfTheBottomUpBuffer) {
    Picture picture(4, 3, kGreen);
    picture.Set(1, 0, kGrey); // top row
    picture.Set(3, 2, kGrey); // bottom row
    EXPECT_EQ(picture.Runs(kGreen), (std::vector<RunSpan>{{1, 0, 2}, {3, 2, 4}}));
}

TEST(ColourBounds, ToleranceAroundRedCutsExactlyItsBox) {
    struct Row {
        std::uint32_t colour;
        bool transparent;
    };
    const Row rows[] = {
        {Rgb(250, 0, 0), true},    {Rgb(255, 10, 10), true},  {Rgb(252, 5, 7), true},
        {Rgb(249, 0, 0), false},   {Rgb(250, 11, 0), false},  {Rgb(250, 0, 11), false},
        {Rgb(255, 10, 11), false}, {Rgb(0, 0, 0), false},     {Rgb(255, 255, 255), false},
    };
    const ColourBounds bounds = MakeColourBounds(Rgb(250, 0, 0), Rgb(10, 10, 10));
    for (const Row& row : rows) {
        const std::uint8_t pixel[4] = {static_cast<std::uint8_t>(row.colour >> 16),
                                       static_cast<std::uint8_t>(row.colour >> 8),
                                       static_cast<std::uint8_t>(row.colour), 0};
        EXPECT_EQ(IsTransparentPixel(pixel, bounds), row.transparent) << std::hex << row.colour;
    }
}

TEST(ColourBounds, ZeroToleranceCutsOnlyTheKey) {
    const ColourBounds bounds = MakeColourBounds(Rgb(0, 255, 0), 0);
    const std::uint8_t green[4] = {0, 255, 0, 0};
    const std::uint8_t almost[4] = {0, 254, 0, 0};
    const std::uint8_t tinted[4] = {1, 255, 0, 0};
    EXPECT_TRUE(IsTransparentPixel(green, bounds));
    EXPECT_FALSE(IsTransparentPixel(almost, bounds));
    EXPECT_FALSE(IsTransparentPixel(tinted, bounds));
    EXPECT_EQ(DibRowBytes(5, 24), 16); // rows padded to four bytes
}

} // namespace
