#include "skin/SkListScrollBar.h"

#include "skin/SkListView.h"
#include "skin/SkinBitmapDraw.h"

#include "framework/Gdi.h"

#include <windowsx.h>

namespace {

bool Holds(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

} // namespace

CSkListScrollBar::CSkListScrollBar(BarAxis barAxis)
    : axis(barAxis), skin(barAxis == BarAxis::horizontal ? skinSettings.hScrollSkin : skinSettings.vScrollSkin) {
    thumbPos = skin.startArrowLength - 1;
}

BarSizes CSkListScrollBar::Sizes() const {
    return BarSizes{axis, skin.startArrowLength, skin.endArrowLength, skin.endCapLength, skin.thumbLength,
                    skin.trackReserve};
}

LRESULT CSkListScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_ERASEBKGND: return Default(message, wParam, lParam); // the platform's, as for any static control
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // the class sends a quick second click as a double click: it is a press all the same
        return OnLButtonDown(point, wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(point);
    case WM_MOUSEMOVE: return OnMouseMove(point);
    case WM_TIMER: return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_CAPTURECHANGED: return OnCaptureChanged();
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}

RECT CSkListScrollBar::Place(int along, int length, int across, int thickness) const {
    if (axis == BarAxis::horizontal)
        return RECT{along, across, along + length, across + thickness};
    return RECT{across, along, across + thickness, along + length};
}

int CSkListScrollBar::Length() const {
    const RECT client = GetClientRect();
    return axis == BarAxis::horizontal ? client.right - client.left : client.bottom - client.top;
}

RECT CSkListScrollBar::StartArrowRect() const {
    return Place(0, skin.startArrowLength, 0, skin.startArrowThickness);
}

RECT CSkListScrollBar::EndArrowRect() const {
    return Place(Length() - skin.endCapLength - skin.endArrowLength, skin.endArrowLength, 0, skin.endArrowThickness);
}

RECT CSkListScrollBar::ThumbRect() const {
    return Place(thumbPos, skin.thumbLength, 0, skin.thumbThickness);
}

CSkListScrollBar::Part CSkListScrollBar::HitTest(POINT point) const {
    if (Holds(ThumbRect(), point))
        return Part::thumb;
    if (Holds(EndArrowRect(), point))
        return Part::endArrow;
    if (Holds(StartArrowRect(), point))
        return Part::startArrow;
    return Part::track;
}

void CSkListScrollBar::ReadScroll(int* pos, int* limit) const {
    *pos = 0;
    *limit = 0;
    if (list)
        list->GetScrollState(axis == BarAxis::horizontal ? SB_HORZ : SB_VERT, pos, limit);
}

void CSkListScrollBar::Resync() {
    if (!IsDragging())
        PlaceThumb();
}

void CSkListScrollBar::PlaceThumb() {
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    thumbPos = ThumbPosition(Length(), pos, limit, Sizes());
    if (GetSafeHwnd())
        Invalidate(false);
}

void CSkListScrollBar::Scroll(WPARAM request) {
    if (list && list->GetSafeHwnd())
        ::SendMessageA(list->GetSafeHwnd(), axis == BarAxis::horizontal ? WM_HSCROLL : WM_VSCROLL, request, 0);
    Resync();
}

void CSkListScrollBar::ScrollListBy(int positions) {
    if (!list || !list->GetSafeHwnd())
        return;
    // A report list scrolls horizontally in pixels; vertically LVM_SCROLL takes pixels too and turns them back into
    // whole rows.
    if (axis == BarAxis::horizontal) {
        ::SendMessageA(list->GetSafeHwnd(), LVM_SCROLL, static_cast<WPARAM>(positions), 0);
    } else if (const int rowHeight = list->RowHeight(); rowHeight > 0) {
        ::SendMessageA(list->GetSafeHwnd(), LVM_SCROLL, 0, static_cast<LPARAM>(positions) * rowHeight);
    }
}

void CSkListScrollBar::DoPaint(HDC dc, const RECT& client) {
    if (client.right <= client.left || client.bottom <= client.top)
        return;
    const int length = Length();
    MemoryBuffer buffer(dc, client);
    HDC memory = buffer.hdc();
    MemoryDC scratch(memory);
    auto draw = [&](HBITMAP bitmap, const RECT& r) {
        DrawSkinBitmap(memory, scratch.hdc(), bitmap, r.left, r.top, r.right - r.left, r.bottom - r.top);
    };
    FillSolidRect(memory, client, skin.backColour);
    draw(skin.startArrowBitmap, StartArrowRect());
    // The span's source is spanLength along the bar and the bar's thickness across it.
    const RECT source = Place(0, skin.spanLength, 0, skin.barThickness);
    const RECT span = Place(skin.startArrowLength, length - skin.endCapLength - skin.endArrowLength, 0,
                            skin.barThickness);
    StretchSkinBitmap(memory, scratch.hdc(), skin.spanBitmap, source.right, source.bottom, span.left, span.top,
                      span.right - span.left, span.bottom - span.top);
    draw(skin.endArrowBitmap, EndArrowRect());
    if (skin.endCapLength > 0)
        draw(skin.endCapBitmap, Place(length - skin.endCapLength, skin.endCapLength, 0, skin.endCapThickness));
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    // No thumb while the list cannot scroll this way.
    if (limit != 0)
        draw(skin.thumbBitmap, Place(thumbPos, skin.thumbLength, skin.thumbInset, skin.thumbThickness));
    buffer.Blit(dc);
}

LRESULT CSkListScrollBar::OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) {
    SetCapture(GetSafeHwnd());
    pressed = HitTest(point);
    if (pressed == Part::startArrow || pressed == Part::endArrow)
        SetTimer(kDelayTimer, kDelayMs);
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CSkListScrollBar::OnTimer(UINT_PTR id) {
    const bool arrowHeld = pressed == Part::startArrow || pressed == Part::endArrow;
    if (id == kDelayTimer) {
        // The delay timer never outlives the press it was started for.
        KillTimer(kDelayTimer);
        if (arrowHeld)
            SetTimer(kRepeatTimer, kRepeatMs);
    } else if (id == kRepeatTimer) {
        if (arrowHeld)
            Scroll(pressed == Part::endArrow ? SB_LINEDOWN : SB_LINEUP);
        else
            KillTimer(kRepeatTimer);
    }
    return 0;
}

LRESULT CSkListScrollBar::OnLButtonUp(POINT point) {
    PlaceThumb();
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
    // Released over an arrow: the horizontal bar steps toward it whatever was pressed, the vertical bar only when
    // that arrow was pressed.
    auto steps = [&](Part arrow) { return axis == BarAxis::horizontal || pressed == arrow; };
    WPARAM request = static_cast<WPARAM>(-1);
    if (Holds(StartArrowRect(), point) && steps(Part::startArrow))
        request = SB_LINEUP;
    else if (Holds(EndArrowRect(), point) && steps(Part::endArrow))
        request = SB_LINEDOWN;
    else if (!Holds(ThumbRect(), point) && !IsDragging() && !dragStarted)
        request = thumbPos < Along(point) ? SB_PAGEDOWN : SB_PAGEUP;
    const bool counts = pressed != Part::none;
    releasing = true;
    if (GetCapture() == GetSafeHwnd())
        ReleaseCapture();
    releasing = false;
    EndPress();
    if (counts && request != static_cast<WPARAM>(-1))
        Scroll(request);
    return 0;
}

LRESULT CSkListScrollBar::OnMouseMove(POINT point) {
    if (!IsDragging())
        return 0;
    dragStarted = true;
    const int length = Length();
    thumbPos = ClampThumb(Along(point) - skin.thumbLength / 2, length, Sizes());
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    const int target = PositionForThumb(thumbPos, length, limit, Sizes());
    if (target != pos)
        ScrollListBy(target - pos);
    Invalidate(false);
    return 0;
}

LRESULT CSkListScrollBar::OnCaptureChanged() {
    // Capture taken away mid-press (a message box, another window): forget the press instead of repeating forever.
    if (!releasing) {
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        EndPress();
        PlaceThumb();
    }
    return 0;
}

void CSkListScrollBar::EndPress() {
    pressed = Part::none;
    dragStarted = false;
}
