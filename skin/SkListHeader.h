#pragma once

#include "skin/ListGeometry.h"

#include "framework/Wnd.h"

// The skinned list's column header: the list view's own header control, subclassed and painted entirely from the
// skin's header bitmaps: a background strip, and per column a left cap, a stretched middle and a right cap, with the
// title in embossed bold lettering (a light under-layer, the dark title one pixel up and left), cut with "..." when
// it is wider than its column.
class CSkListHeader : public CWnd {
public:
    // DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS.
    static constexpr UINT kTitleFormat = 0x8821;
    static constexpr int kTitleFontHeight = 12;
    static constexpr int kTitleFontWeight = 700;

    // Copies the skin's header group.
    CSkListHeader();

    // Paints the whole header into dc (client coordinates), double-buffered.
    void DoPaint(HDC dc);
    // Where the last right button release on the header was, in its client coordinates; false when there was none
    // since the last call. The list reports a header right click at this point.
    bool TakeRightClickPoint(POINT* point);
    HeaderSizes Sizes() const;

    // The skin's values, fixed at construction.
    COLORREF backColour = RGB(185, 194, 212);
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF textLightColour = RGB(200, 200, 200);
    int bitmapHeight = 16;
    int spanWidth = 1;
    int startWidth = 2;
    int endWidth = 2;
    HBITMAP spanBitmap = nullptr; // borrowed from the skin
    HBITMAP startBitmap = nullptr;
    HBITMAP endBitmap = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPaint();
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);

    bool hasRightClick = false;
    POINT rightClick = {0, 0};
};
