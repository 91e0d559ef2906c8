// Where the skinned button puts its image and caption.
#include "skin/ButtonLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr PixelRect kButton = {0, 0, 50, 40};

TEST(ButtonLayout, PlacesImageAndCaption) {
    struct Row {
        const char* name;
        ImageLayoutInput input; // button, image size, caption, placement, margins, shifted, shift
        PixelPoint image;
        PixelRect caption;
    };
    const Row rows[] = {
        {"beside, with caption", {kButton, 16, 16, true, 0}, {3, 12}, {19, 0, 50, 40}},
        {"beside, no caption: centred", {kButton, 16, 16, false, 0}, {17, 12}, kButton},
        {"below the caption, offset button", {{10, 20, 60, 60}, 16, 16, true, 3}, {27, 41}, {10, 20, 60, 44}},
        {"unknown placement as beside", {kButton, 16, 16, true, 9}, {3, 12}, {19, 0, 50, 40}},
        {"wider than the button: halves toward zero", {{0, 0, 10, 10}, 15, 15, false, 0}, {-2, -2}, {0, 0, 10, 10}},
        {"pressed shifts the image, not the caption", {kButton, 16, 16, true, 1, 3, 3, true}, {18, 4}, {0, 16, 50, 40}},
        {"press style 1", {kButton, 16, 16, false, 0, 3, 3, true, 0, 2}, {17, 14}, kButton},
        {"margin above", {kButton, 10, 10, true, 1, 7, 5}, {20, 5}, {0, 10, 50, 40}},
    };
    for (const Row& r : rows) {
        const ImageLayout layout = PlaceImage(r.input);
        EXPECT_EQ(layout.image, r.image) << r.name;
        EXPECT_EQ(layout.caption, r.caption) << r.name;
    }
}

TEST(ButtonLayout, CentreRectKeepsTheSizeAndSplitsOverhangs) {
    EXPECT_EQ(CentreRect({5, 5, 26, 18}, {10, 20, 60, 41}), (PixelRect{24, 24, 45, 37}));
    // Wider than the area: the overhang is split, halves toward zero.
    EXPECT_EQ(CentreRect({0, 0, 31, 10}, {0, 0, 20, 10}), (PixelRect{-5, 0, 26, 10}));
}

} // namespace
