#pragma once

#include "framework/Assert.h"
#include "framework/PixelGeometry.h"

#include <windows.h>

#include <utility>

// RAII for GDI, move-only.
//
// Owned and borrowed handles look different: a GdiObject<T> deletes its object, a plain HBITMAP/HFONT/... is
// borrowed and never deleted by whoever holds it (skin bitmaps belong to the skin, not to the control drawing them).
//
// Order matters with GDI: an object cannot be deleted while it is selected into a DC. Declare the GdiObject before
// the SelectGuard that selects it, so that the guard (destroyed first) has put the previous object back by the time
// the GdiObject deletes its own.

// Owns an HFONT, HBITMAP, HBRUSH, HPEN or HRGN: DeleteObject when it goes.
template <class T> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T owned) : handle(owned) {}
    GdiObject(GdiObject&& other) noexcept : handle(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    T get() const { return handle; }
    // Gives up ownership: the caller deletes the object.
    T release() { return std::exchange(handle, nullptr); }
    void reset(T replacement = nullptr) {
        T old = std::exchange(handle, replacement);
        if (old && old != replacement)
            DeleteObject(old);
    }
    explicit operator bool() const { return handle != nullptr; }

private:
    T handle = nullptr;
};

using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedFont = GdiObject<HFONT>;
using OwnedPen = GdiObject<HPEN>;
using OwnedRegion = GdiObject<HRGN>;

// Selects an object into a DC and puts the previous one back at scope end.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {
        // Selecting a region answers a region type, not a previous object: clip with SelectClipRgn instead.
        MOVARA_ASSERT(GetObjectType(object) != OBJ_REGION);
    }
    SelectGuard(SelectGuard&& other) noexcept
        : dc(std::exchange(other.dc, nullptr)), previous(std::exchange(other.previous, nullptr)) {}
    SelectGuard& operator=(SelectGuard&&) = delete;
    ~SelectGuard() {
        if (dc && previous)
            SelectObject(dc, previous);
    }

private:
    HDC dc;
    HGDIOBJ previous;
};

// BeginPaint/EndPaint, for WM_PAINT only.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window(window), dc(BeginPaint(window, &paintStruct)) {}
    PaintDC(PaintDC&& other) noexcept
        : window(std::exchange(other.window, nullptr)), paintStruct(other.paintStruct), dc(other.dc) {}
    PaintDC& operator=(PaintDC&&) = delete;
    ~PaintDC() {
        if (window)
            EndPaint(window, &paintStruct);
    }
    HDC hdc() const { return dc; }
    const PAINTSTRUCT& paint() const { return paintStruct; }

private:
    HWND window;
    PAINTSTRUCT paintStruct = {};
    HDC dc;
};

// GetDC/ReleaseDC: drawing on a window outside WM_PAINT.
class ClientDC {
public:
    explicit ClientDC(HWND window) : window(window), dc(GetDC(window)) {}
    ClientDC(ClientDC&& other) noexcept : window(other.window), dc(std::exchange(other.dc, nullptr)) {}
    ClientDC& operator=(ClientDC&&) = delete;
    ~ClientDC() {
        if (dc)
            ReleaseDC(window, dc);
    }
    HDC hdc() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// CreateCompatibleDC/DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : dc(CreateCompatibleDC(compatible)) {}
    MemoryDC(MemoryDC&& other) noexcept : dc(std::exchange(other.dc, nullptr)) {}
    MemoryDC& operator=(MemoryDC&&) = delete;
    ~MemoryDC() {
        if (dc)
            DeleteDC(dc);
    }
    HDC hdc() const { return dc; }

private:
    HDC dc;
};

// SaveDC/RestoreDC around drawing on a DC someone else owns: colours, modes, selections and clipping come back.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc(dc), state(SaveDC(dc)) {}
    SavedDC(SavedDC&& other) noexcept : dc(std::exchange(other.dc, nullptr)), state(other.state) {}
    SavedDC& operator=(SavedDC&&) = delete;
    ~SavedDC() {
        if (dc && state)
            RestoreDC(dc, state);
    }

private:
    HDC dc;
    int state;
};

// Double buffering: a memory DC holding a bitmap of area's size, in area's coordinates (draw on hdc() exactly as on
// the target), copied back by Blit. Member order is destruction order in reverse: the bitmap is deselected before it
// is deleted, and deleted before its DC.
class MemoryBuffer {
public:
    MemoryBuffer(HDC target, const RECT& area)
        : area(area), memory(target),
          bitmap(CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)),
          selection(memory.hdc(), bitmap.get()) {
        SetViewportOrgEx(memory.hdc(), -area.left, -area.top, nullptr);
    }
    MemoryBuffer(MemoryBuffer&&) = default;
    MemoryBuffer& operator=(MemoryBuffer&&) = delete;

    HDC hdc() const { return memory.hdc(); }
    bool Blit(HDC target) const {
        return BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.hdc(),
                      area.left, area.top, SRCCOPY) != FALSE;
    }

private:
    RECT area;
    MemoryDC memory;
    OwnedBitmap bitmap;
    SelectGuard selection;
};

// The window layer's rectangles and the platform's.
inline RECT ToRect(const PixelRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline PixelRect ToPixelRect(const RECT& r) {
    return PixelRect{r.left, r.top, r.right, r.bottom};
}
