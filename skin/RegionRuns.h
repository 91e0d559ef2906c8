#pragma once

#include <cstdint>

// Run-finding for window regions cut from a picture, apart from the window layer: the picture is a 32-bit bottom-up
// buffer (bytes blue, green, red, reserved per pixel; rows padded to 4 bytes), as a BI_RGB DIB section holds it.
// A pixel is transparent when each of its red, green and blue lies within the colour bounds; every maximal run of
// other pixels within a row is one rectangle of the region.

// Per component low and high bound, in the order red, green, blue.
struct ColourBounds {
    std::uint8_t low[3] = {};
    std::uint8_t high[3] = {};
};

// Colours are 32-bit RGB values with red in the low byte. Each high bound is the key's component plus the
// tolerance's, at most 255.
ColourBounds MakeColourBounds(std::uint32_t keyColour, std::uint32_t toleranceColour);

inline bool IsTransparentPixel(const std::uint8_t* pixel, const ColourBounds& bounds) {
    const std::uint8_t red = pixel[2];
    const std::uint8_t green = pixel[1];
    const std::uint8_t blue = pixel[0];
    return red >= bounds.low[0] && red <= bounds.high[0] && green >= bounds.low[1] && green <= bounds.high[1] &&
           blue >= bounds.low[2] && blue <= bounds.high[2];
}

// Calls sink(x0, y, x1) for every opaque run [x0, x1) of row y, rows from the picture's top (the buffer's last row)
// down, runs from left to right. stride is the row length in bytes.
template <class Sink>
void ForEachOpaqueRun(const std::uint8_t* bits, int width, int height, int stride, const ColourBounds& bounds,
                      Sink&& sink) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        int x = 0;
        while (x < width) {
            if (IsTransparentPixel(row + 4 * x, bounds)) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < width && !IsTransparentPixel(row + 4 * x, bounds))
                ++x;
            sink(x0, y, x);
        }
    }
}

// Row length in bytes of a 32-bit row: already a multiple of 4, kept as the general rule for any depth.
inline int DibRowBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}
