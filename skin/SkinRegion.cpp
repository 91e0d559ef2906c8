#include "skin/SkinRegion.h"

#include "skin/RegionRuns.h"

#include "framework/Gdi.h"

#include <climits>

namespace {

constexpr DWORD kGrowRectangles = 100;

// The rectangles of a region under construction, in the RGNDATA layout, in movable global memory that grows in steps
// of 100 rectangles.
class RegionDataBlock {
public:
    RegionDataBlock() : memory(GlobalAlloc(GMEM_MOVEABLE, SizeFor(kGrowRectangles))) {
        if (memory)
            capacity = kGrowRectangles;
        Restart();
    }
    RegionDataBlock(const RegionDataBlock&) = delete;
    RegionDataBlock& operator=(const RegionDataBlock&) = delete;
    ~RegionDataBlock() {
        if (memory)
            GlobalFree(memory);
    }

    bool valid() const { return memory != nullptr; }
    DWORD count() const { return header.nCount; }

    // Appends one rectangle; false when the block cannot grow (the rectangle is then lost, as is the rest of the
    // region's precision, but nothing is written out of bounds).
    bool Append(const RECT& rect) {
        if (header.nCount >= capacity && !Grow())
            return false;
        auto* data = static_cast<RGNDATA*>(GlobalLock(memory));
        if (!data)
            return false;
        reinterpret_cast<RECT*>(data->Buffer)[header.nCount] = rect;
        GlobalUnlock(memory);
        ++header.nCount;
        RECT& bound = header.rcBound;
        bound.left = rect.left < bound.left ? rect.left : bound.left;
        bound.top = rect.top < bound.top ? rect.top : bound.top;
        bound.right = rect.right > bound.right ? rect.right : bound.right;
        bound.bottom = rect.bottom > bound.bottom ? rect.bottom : bound.bottom;
        return true;
    }

    // A region of what the block holds (also when it holds nothing), handed to the caller.
    HRGN CreateRegion(RegionMaker makeRegion) {
        auto* data = static_cast<RGNDATA*>(GlobalLock(memory));
        if (!data)
            return nullptr;
        data->rdh = header;
        HRGN region = makeRegion(nullptr, SizeFor(capacity), data);
        GlobalUnlock(memory);
        return region;
    }

    void Restart() {
        header = {};
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = 0;
        header.nRgnSize = 0;
        header.rcBound = {LONG_MAX, LONG_MAX, 0, 0};
    }

private:
    static DWORD SizeFor(DWORD rectangles) { return sizeof(RGNDATAHEADER) + rectangles * sizeof(RECT); }

    bool Grow() {
        HGLOBAL grown = GlobalReAlloc(memory, SizeFor(capacity + kGrowRectangles), GMEM_MOVEABLE);
        if (!grown)
            return false;
        memory = grown;
        capacity += kGrowRectangles;
        return true;
    }

    HGLOBAL memory;
    DWORD capacity = 0;
    RGNDATAHEADER header = {};
};

// Merges part into result (or makes it the result) and deletes part. False when part is missing or the union
// cannot be made.
bool MergeRegion(HRGN& result, HRGN part) {
    if (!part)
        return false;
    if (!result) {
        result = part;
        return true;
    }
    const bool merged = CombineRgn(result, result, part, RGN_OR) != ERROR;
    DeleteObject(part);
    return merged;
}

} // namespace

HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF keyColour, COLORREF toleranceColour, RegionMaker makeRegion) {
    if (!bitmap)
        return nullptr;
    MemoryDC dibDC(nullptr);
    if (!dibDC.hdc())
        return nullptr;
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth;
    const int height = info.bmHeight;

    BITMAPINFOHEADER dibHeader = {};
    dibHeader.biSize = sizeof dibHeader;
    dibHeader.biWidth = width;
    dibHeader.biHeight = height; // positive: bottom-up
    dibHeader.biPlanes = 1;
    dibHeader.biBitCount = 32;
    dibHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap dib(CreateDIBSection(dibDC.hdc(), reinterpret_cast<BITMAPINFO*>(&dibHeader), DIB_RGB_COLORS, &bits,
                                     nullptr, 0));
    if (!dib || !bits)
        return nullptr;
    SelectGuard dibSelection(dibDC.hdc(), dib.get());
    {
        MemoryDC sourceDC(dibDC.hdc());
        if (!sourceDC.hdc())
            return nullptr;
        SelectGuard sourceSelection(sourceDC.hdc(), bitmap);
        BitBlt(dibDC.hdc(), 0, 0, width, height, sourceDC.hdc(), 0, 0, SRCCOPY);
    }
    GdiFlush(); // the copy must have reached the DIB's memory before it is read directly

    RegionDataBlock block;
    if (!block.valid())
        return nullptr;
    HRGN result = nullptr;
    bool whole = true;
    const ColourBounds bounds = MakeColourBounds(keyColour, toleranceColour);
    ForEachOpaqueRun(static_cast<const std::uint8_t*>(bits), width, height, DibRowBytes(width, 32), bounds,
                     [&](int x0, int y, int x1) {
                         whole = whole && block.Append(RECT{x0, y, x1, y + 1});
                         if (whole && block.count() == kRegionBlockRectangles) {
                             whole = MergeRegion(result, block.CreateRegion(makeRegion));
                             block.Restart();
                         }
                     });
    // The last block, also when it holds nothing: a picture entirely of the key colour is an empty region.
    whole = whole && MergeRegion(result, block.CreateRegion(makeRegion));
    if (!whole && result) {
        DeleteObject(result);
        result = nullptr;
    }
    return result;
}
