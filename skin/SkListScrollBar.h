#pragma once

#include "skin/ListGeometry.h"
#include "skin/SkinSettings.h"

#include "framework/PaintedWnd.h"

class CSkListView;

// A bitmap scroll bar beside the skinned list (right of it or below it), a static control in the list's parent. It
// keeps no position of its own: Resync reads the list's scroll position and limit along its axis and places the
// thumb; arrows, track clicks and thumb drags become scroll requests to the list. A held arrow steps one line every
// 50 ms after an initial 250 ms; a short click steps once, on release. A track click pages once, on release.
//
// The two bars differ in two ways only. Released over an arrow, the horizontal bar steps a line toward it whatever
// was pressed; the vertical bar steps only when that arrow was pressed, and otherwise takes the release as a track
// click. A dragged thumb scrolls the list by pixels horizontally, and by whole rows vertically.
class CSkListScrollBar : public CPaintedWnd {
public:
    static constexpr UINT_PTR kRepeatTimer = 1;
    static constexpr UINT_PTR kDelayTimer = 2;
    static constexpr UINT kDelayMs = 250;
    static constexpr UINT kRepeatMs = 50;

    // Copies the skin's group for the axis.
    explicit CSkListScrollBar(BarAxis axis);

    void SetList(CSkListView* owner) { list = owner; }
    // Reads the list's scroll position and limit, places the thumb and repaints. While the thumb is dragged it stays
    // under the pointer instead; the release puts it where the list's position says.
    void Resync();

    BarAxis Axis() const { return axis; }
    const ScrollBarSkin& Skin() const { return skin; }
    int GetThumbPos() const { return thumbPos; }
    bool IsDragging() const { return pressed == Part::thumb; }
    BarSizes Sizes() const;

    using CPaintedWnd::DoPaint;
    // Paints the whole bar into dc, double-buffered.
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum class Part { none, track, thumb, startArrow, endArrow };

    LRESULT OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(POINT point);
    LRESULT OnMouseMove(POINT point);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnCaptureChanged();

    // The bar's rectangles from lengths along its axis and thicknesses across it.
    RECT Place(int along, int length, int across, int thickness) const;
    int Along(POINT point) const { return axis == BarAxis::horizontal ? point.x : point.y; }
    int Length() const;
    RECT StartArrowRect() const;
    RECT EndArrowRect() const;
    RECT ThumbRect() const;
    Part HitTest(POINT point) const;
    // The list's scroll position and limit along the axis, 0 and 0 without a list.
    void ReadScroll(int* pos, int* limit) const;
    void PlaceThumb();
    // SB_LINEUP/LEFT (0), SB_LINEDOWN/RIGHT (1), SB_PAGEUP/LEFT (2), SB_PAGEDOWN/RIGHT (3) to the list.
    void Scroll(WPARAM request);
    // The list moved by `positions` along the axis for a dragged thumb.
    void ScrollListBy(int positions);
    void EndPress();

    const BarAxis axis;
    ScrollBarSkin skin; // bitmaps borrowed from the skin
    CSkListView* list = nullptr;
    Part pressed = Part::none; // a release counts only after a press on this bar
    bool dragStarted = false;  // the pointer moved while the thumb was held: no track click on release
    bool releasing = false;    // our own ReleaseCapture, which is not a lost capture
    int thumbPos = 0;          // the thumb's edge nearest the start arrow
};

// The bar right of the list.
class CSkVScrollBar : public CSkListScrollBar {
public:
    CSkVScrollBar() : CSkListScrollBar(BarAxis::vertical) {}
};

// The bar below the list.
class CSkHScrollBar : public CSkListScrollBar {
public:
    CSkHScrollBar() : CSkListScrollBar(BarAxis::horizontal) {}
};
