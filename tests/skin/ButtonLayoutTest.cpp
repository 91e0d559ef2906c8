// Where the skinned button puts its image and caption.
#include "skin/ButtonLayout.h"

#include <gtest/gtest.h>

namespace {

struct PlaceCase {
    const char* name;
    ImageLayoutInput input;
    PixelPoint image;
    PixelRect caption;
};

ImageLayoutInput Input(PixelRect button, int w, int h, bool caption, int placement, bool shifted = false,
                       int shiftX = 1, int shiftY = 1) {
    ImageLayoutInput in;
    in.button = button;
    in.imageWidth = w;
    in.imageHeight = h;
    in.hasCaption = caption;
    in.placement = placement;
    in.shifted = shifted;
    in.shiftX = shiftX;
    in.shiftY = shiftY;
    return in;
}

const PixelRect kButton = {0, 0, 50, 40};

const PlaceCase kPlaceCases[] = {
    {"beside, with caption", Input(kButton, 16, 16, true, 0), {3, 12}, {19, 0, 50, 40}},
    {"beside, no caption: centred", Input(kButton, 16, 16, false, 0), {17, 12}, kButton},
    {"above, with caption", Input(kButton, 16, 16, true, 1), {17, 3}, {0, 16, 50, 40}},
    {"above, no caption: centred", Input(kButton, 16, 16, false, 1), {17, 12}, kButton},
    {"odd sizes truncate", Input({0, 0, 25, 25}, 16, 16, false, 0), {4, 4}, {0, 0, 25, 25}},
    {"offset button", Input({10, 20, 60, 60}, 16, 16, true, 1), {27, 23}, {10, 36, 60, 60}},
    {"image wider than the button: halves toward zero", Input({0, 0, 10, 10}, 15, 15, false, 0), {-2, -2},
     {0, 0, 10, 10}},
    {"pressed shifts the image, not the caption", Input(kButton, 16, 16, true, 1, true), {18, 4}, {0, 16, 50, 40}},
    {"press style 1", Input(kButton, 16, 16, false, 0, true, 0, 2), {17, 14}, kButton},
    {"right of the caption", Input(kButton, 16, 16, true, 2), {31, 12}, {0, 0, 31, 40}},
    {"below the caption", Input(kButton, 16, 16, true, 3), {17, 21}, {0, 0, 50, 24}},
    {"unknown placement as beside", Input(kButton, 16, 16, true, 9), {3, 12}, {19, 0, 50, 40}},
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
    *out << c.name;
}

class PlaceImageTable : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceImageTable, PlacesImageAndCaption) {
    const PlaceCase& c = GetParam();
    const ImageLayout layout = PlaceImage(c.input);
    EXPECT_EQ(layout.image.x, c.image.x) << c.name;
    EXPECT_EQ(layout.image.y, c.image.y) << c.name;
    EXPECT_EQ(layout.caption, c.caption) << c.name;
}

INSTANTIATE_TEST_SUITE_P(ButtonLayout, PlaceImageTable, testing::ValuesIn(kPlaceCases),
                         [](const testing::TestParamInfo<PlaceCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(ButtonLayout, MarginsComeFromTheInput) {
    ImageLayoutInput in = Input(kButton, 10, 10, true, 0);
    in.marginX = 7;
    EXPECT_EQ(PlaceImage(in).image.x, 7);
    EXPECT_EQ(PlaceImage(in).caption.left, 17);
    in.placement = 1;
    in.marginY = 5;
    EXPECT_EQ(PlaceImage(in).image.y, 5);
    EXPECT_EQ(PlaceImage(in).caption.top, 10);
}

TEST(ButtonLayout, CentreRectKeepsTheSizeAndTruncatesHalves) {
    EXPECT_EQ(CentreRect({0, 0, 20, 12}, {0, 0, 50, 40}), (PixelRect{15, 14, 35, 26}));
    EXPECT_EQ(CentreRect({5, 5, 26, 18}, {10, 20, 60, 41}), (PixelRect{24, 24, 45, 37}));
    // Wider than the area: the overhang is split, halves toward zero.
    EXPECT_EQ(CentreRect({0, 0, 31, 10}, {0, 0, 20, 10}), (PixelRect{-5, 0, 26, 10}));
}

} // namespace
