#include "SkinTestSupport.h"

namespace {

void PutLe(std::string& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string BmpFileBytes(int width, int height, COLORREF colour) {
    const int rowBytes = ((width * 3 + 3) / 4) * 4;
    const unsigned imageBytes = static_cast<unsigned>(rowBytes * height);
    std::string out = "BM";
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<unsigned>(width), 4);
    PutLe(out, static_cast<unsigned>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out.push_back(static_cast<char>(GetBValue(colour)));
            out.push_back(static_cast<char>(GetGValue(colour)));
            out.push_back(static_cast<char>(GetRValue(colour)));
        }
        out.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return out;
}
