#pragma once

// Where a skinned button puts its image and its caption, apart from the window layer. Halves are integer divisions
// truncating toward zero, as everywhere in the button's drawing.

#include "framework/PixelGeometry.h"

// Image placements: beside the caption on its left, above it; and, for completeness, beside it on its right and
// below it (the mirror images of the first two).
enum class ImagePlacement : unsigned char { left = 0, above = 1, right = 2, below = 3 };

struct ImageLayoutInput {
    PixelRect button;         // the button's rectangle
    int imageWidth = 0;        // the image's size
    int imageHeight = 0;
    bool hasCaption = false;   // the caption is not empty
    int placement = 0;         // 0 to 3; anything else is taken as 0
    int marginX = 3;           // image distance from the left (or right) edge
    int marginY = 3;           // image distance from the top (or bottom) edge
    bool shifted = false;      // pressed and not a check button
    int shiftX = 1;
    int shiftY = 1;
};

struct ImageLayout {
    PixelPoint image;         // top left corner of the image
    PixelRect caption;        // what is left for the caption
};

// The image's position and the rectangle left for the caption (which starts as the whole button).
ImageLayout PlaceImage(const ImageLayoutInput& input);

// measured moved so that it is centred in area (both halves truncating toward zero); its size is kept.
PixelRect CentreRect(const PixelRect& measured, const PixelRect& area);
