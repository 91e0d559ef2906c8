#include "skin/ButtonLayout.h"

ImageLayout PlaceImage(const ImageLayoutInput& in) {
    const PixelRect& r = in.button;
    ImageLayout out;
    out.caption = r;
    const int centredX = r.left + (r.Width() - in.imageWidth) / 2;
    const int centredY = r.top + (r.Height() - in.imageHeight) / 2;
    switch (static_cast<ImagePlacement>(in.placement)) {
    case ImagePlacement::above:
        out.image.x = centredX;
        if (in.hasCaption) {
            out.image.y = r.top + in.marginY;
            out.caption.top += in.imageHeight;
        } else {
            out.image.y = centredY;
        }
        break;
    case ImagePlacement::right:
        out.image.y = centredY;
        if (in.hasCaption) {
            out.image.x = r.right - in.marginX - in.imageWidth;
            out.caption.right -= in.imageWidth + in.marginX;
        } else {
            out.image.x = centredX;
        }
        break;
    case ImagePlacement::below:
        out.image.x = centredX;
        if (in.hasCaption) {
            out.image.y = r.bottom - in.marginY - in.imageHeight;
            out.caption.bottom -= in.imageHeight;
        } else {
            out.image.y = centredY;
        }
        break;
    case ImagePlacement::left:
    default:
        out.image.y = centredY;
        if (in.hasCaption) {
            out.image.x = r.left + in.marginX;
            out.caption.left += in.imageWidth + in.marginX;
        } else {
            out.image.x = centredX;
        }
        break;
    }
    if (in.shifted) {
        out.image.x += in.shiftX;
        out.image.y += in.shiftY;
    }
    return out;
}

PixelRect CentreRect(const PixelRect& measured, const PixelRect& area) {
    PixelRect out;
    out.left = area.left + (area.Width() - measured.Width()) / 2;
    out.top = area.top + (area.Height() - measured.Height()) / 2;
    out.right = out.left + measured.Width();
    out.bottom = out.top + measured.Height();
    return out;
}
