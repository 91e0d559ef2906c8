#pragma once

#include "skin/ListGeometry.h"

#include "framework/Wnd.h"

class CSkListView;

// The bitmap scroll bar below the skinned list, a static control beside it in the list's parent. It keeps no
// position of its own: Resync reads the list's horizontal scroll position (pixels) and limit and places the thumb;
// arrows, track clicks and thumb drags become scroll requests to the list. A held arrow steps one line every 50 ms
// after an initial 250 ms; a short click steps once, on release. A track click pages once, on release; a release over
// either arrow steps a line toward it, whatever was pressed.
class CSkHScrollBar : public CWnd {
public:
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT_PTR kDelayTimer = 2;
    static constexpr UINT kDelayMs = 250;
    static constexpr UINT kRepeatMs = 50;

    // Copies the skin's horizontal bar group.
    CSkHScrollBar();

    void SetList(CSkListView* owner) { list = owner; }
    // Reads the list's scroll position and limit, places the thumb and repaints. While the thumb is dragged it stays
    // under the pointer instead; the release puts it where the list's position says.
    void Resync();

    int GetThumbPos() const { return thumbPos; }
    bool IsDragging() const { return dragging; }
    HBarSizes Sizes() const;

    // Paints the whole bar into dc (client coordinates), double-buffered.
    void DoPaint(HDC dc);

    // The skin's values, fixed at construction.
    int leftArrowHeight = 16;
    int leftArrowWidth = 16;
    int rightArrowHeight = 16;
    int rightArrowWidth = 16;
    int thumbLength = 75;
    int thumbThickness = 16;
    int spanWidth = 1;
    int barHeight = 16;
    COLORREF backColour = RGB(74, 82, 107);
    HBITMAP leftArrowBitmap = nullptr; // borrowed from the skin
    HBITMAP rightArrowBitmap = nullptr;
    HBITMAP spanBitmap = nullptr;
    HBITMAP thumbBitmap = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPaint();
    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(POINT point);
    LRESULT OnMouseMove(POINT point);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnCaptureChanged(HWND gaining);

    int ClientWidth() const;
    RECT LeftArrowRect() const;
    RECT RightArrowRect() const;
    RECT ThumbRect() const;
    void ReadScroll(int* pos, int* limit) const;
    void PlaceThumb();
    void Scroll(WPARAM request);
    void StopTimers();
    void ClearFlags();

    CSkListView* list = nullptr;
    bool rightPressed = false;
    bool leftPressed = false;
    bool dragStarted = false;
    bool dragging = false;
    bool pressStarted = false; // a release counts only after a press on this bar
    bool releasing = false;    // our own ReleaseCapture, which is not a lost capture
    int thumbPos = 15;         // x of the thumb's left edge
};
