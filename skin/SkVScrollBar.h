#pragma once

#include "skin/ListGeometry.h"

#include "framework/Wnd.h"

class CSkListView;

// The bitmap scroll bar right of the skinned list, a static control beside it in the list's parent. It keeps no
// position of its own: Resync reads the list's vertical scroll position and limit and places the thumb; arrows,
// track clicks and thumb drags become scroll requests to the list. A held arrow steps one line every 50 ms after an
// initial 250 ms; a short click steps once, on release. A track click pages once, on release; unlike the horizontal
// bar, a release over an arrow that was not pressed counts as a track click.
class CSkVScrollBar : public CWnd {
public:
    // Timer ids: the first repeat delay, then the repeat.
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT_PTR kDelayTimer = 2;
    static constexpr UINT kDelayMs = 250;
    static constexpr UINT kRepeatMs = 50;

    // Copies the skin's vertical bar group.
    CSkVScrollBar();

    void SetList(CSkListView* owner) { list = owner; }
    // Reads the list's scroll position and limit, places the thumb and repaints. While the thumb is dragged it stays
    // under the pointer instead; the release puts it where the list's position says.
    void Resync();

    int GetThumbPos() const { return thumbPos; }
    bool IsDragging() const { return dragging; }
    VBarSizes Sizes() const;

    // Paints the whole bar into dc (client coordinates), double-buffered.
    void DoPaint(HDC dc);

    // The skin's values, fixed at construction.
    int upArrowHeight = 16;
    int upArrowWidth = 16;
    int downArrowHeight = 16;
    int downArrowWidth = 16;
    int bottomWidth = 16;
    int bottomHeight = 16;
    int spare = 0;
    int trackReserve = 0; // subtracted from the track length
    int thumbThickness = 16;
    int thumbLength = 75;
    int barWidth = 16;
    int spanHeight = 1;
    COLORREF backColour = RGB(74, 82, 107);
    HBITMAP upArrowBitmap = nullptr; // borrowed from the skin
    HBITMAP downArrowBitmap = nullptr;
    HBITMAP spanBitmap = nullptr;
    HBITMAP bottomBitmap = nullptr;
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

    int ClientHeight() const;
    RECT UpArrowRect() const;
    RECT DownArrowRect() const;
    RECT ThumbRect() const;
    // The list's scroll position and limit, 0 and 0 without a list.
    void ReadScroll(int* pos, int* limit) const;
    void PlaceThumb();
    void Scroll(WPARAM request);
    void StopTimers();
    void ClearFlags();

    CSkListView* list = nullptr;
    bool upPressed = false;
    bool downPressed = false;
    bool dragging = false;
    bool dragStarted = false;  // the pointer moved while the thumb was held: no track click on release
    bool pressStarted = false; // a release counts only after a press on this bar
    bool releasing = false;    // our own ReleaseCapture, which is not a lost capture
    int thumbPos = 15;         // y of the thumb's top edge
};
