#include "skin/RegionRuns.h"

namespace {

std::uint8_t Component(std::uint32_t colour, int shift) {
    return static_cast<std::uint8_t>((colour >> shift) & 0xFF);
}

std::uint8_t HighBound(std::uint8_t key, std::uint8_t tolerance) {
    const int sum = key + tolerance;
    return static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
}

} // namespace

ColourBounds MakeColourBounds(std::uint32_t keyColour, std::uint32_t toleranceColour) {
    ColourBounds bounds;
    for (int i = 0; i < 3; ++i) {
        bounds.low[i] = Component(keyColour, 8 * i);
        bounds.high[i] = HighBound(bounds.low[i], Component(toleranceColour, 8 * i));
    }
    return bounds;
}
