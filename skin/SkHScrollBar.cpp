#include "skin/SkHScrollBar.h"

#include "skin/SkListView.h"
#include "skin/SkinBitmapDraw.h"
#include "skin/SkinSettings.h"

#include "framework/Gdi.h"

#include <windowsx.h>

namespace {

bool Holds(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

} // namespace

CSkHScrollBar::CSkHScrollBar() {
    const HScrollSkin& s = skinSettings.hScrollSkin;
    leftArrowHeight = s.leftArrowHeight;
    leftArrowWidth = s.leftArrowWidth;
    rightArrowHeight = s.rightArrowHeight;
    rightArrowWidth = s.rightArrowWidth;
    thumbLength = s.thumbLength;
    thumbThickness = s.thumbThickness;
    spanWidth = s.spanWidth;
    barHeight = s.barHeight;
    backColour = s.backColour;
    leftArrowBitmap = s.leftArrowBitmap;
    rightArrowBitmap = s.rightArrowBitmap;
    spanBitmap = s.spanBitmap;
    thumbBitmap = s.thumbBitmap;
    thumbPos = leftArrowWidth - 1;
}

HBarSizes CSkHScrollBar::Sizes() const {
    return HBarSizes{leftArrowWidth, rightArrowWidth, thumbLength};
}

LRESULT CSkHScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: DoPaint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // the class sends a quick second click as a double click: it is a press all the same
        return OnLButtonDown(point, wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(point);
    case WM_MOUSEMOVE: return OnMouseMove(point);
    case WM_TIMER: return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

int CSkHScrollBar::ClientWidth() const {
    const RECT client = GetClientRect();
    return client.right - client.left;
}

RECT CSkHScrollBar::LeftArrowRect() const {
    return RECT{0, 0, leftArrowWidth, leftArrowHeight};
}

RECT CSkHScrollBar::RightArrowRect() const {
    const int left = ClientWidth() - leftArrowWidth;
    return RECT{left, 0, left + rightArrowWidth, rightArrowHeight};
}

RECT CSkHScrollBar::ThumbRect() const {
    return RECT{thumbPos, 0, thumbPos + thumbLength, thumbThickness};
}

void CSkHScrollBar::ReadScroll(int* pos, int* limit) const {
    *pos = 0;
    *limit = 0;
    if (list)
        list->GetScrollState(SB_HORZ, pos, limit);
}

void CSkHScrollBar::Resync() {
    if (!dragging)
        PlaceThumb();
}

void CSkHScrollBar::PlaceThumb() {
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    thumbPos = HThumbPosition(ClientWidth(), pos, limit, Sizes());
    if (GetSafeHwnd())
        Invalidate(false);
}

void CSkHScrollBar::Scroll(WPARAM request) {
    if (list && list->GetSafeHwnd())
        ::SendMessageA(list->GetSafeHwnd(), WM_HSCROLL, request, 0);
    Resync();
}

LRESULT CSkHScrollBar::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    DoPaint(paint.hdc());
    return 0;
}

void CSkHScrollBar::DoPaint(HDC dc) {
    const RECT client = GetClientRect();
    const int width = client.right - client.left;
    if (width <= 0 || client.bottom <= client.top)
        return;
    MemoryBuffer buffer(dc, client);
    HDC memory = buffer.hdc();
    MemoryDC scratch(memory);
    FillSolidRect(memory, client, backColour);
    DrawSkinBitmap(memory, scratch.hdc(), leftArrowBitmap, 0, 0, leftArrowWidth, leftArrowHeight);
    StretchSkinBitmap(memory, scratch.hdc(), spanBitmap, spanWidth, barHeight, leftArrowWidth, 0,
                      width - rightArrowWidth, barHeight);
    DrawSkinBitmap(memory, scratch.hdc(), rightArrowBitmap, width - rightArrowWidth, 0, rightArrowWidth,
                   rightArrowHeight);
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    // No thumb while the list cannot scroll this way.
    if (limit != 0)
        DrawSkinBitmap(memory, scratch.hdc(), thumbBitmap, thumbPos, 0, thumbLength, thumbThickness);
    buffer.Blit(dc);
}

LRESULT CSkHScrollBar::OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) {
    SetCapture(GetSafeHwnd());
    pressStarted = true;
    if (Holds(ThumbRect(), point)) {
        dragging = true;
    } else if (Holds(RightArrowRect(), point)) {
        rightPressed = true;
        SetTimer(kDelayTimer, kDelayMs);
    } else if (Holds(LeftArrowRect(), point)) {
        leftPressed = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CSkHScrollBar::OnTimer(UINT_PTR id) {
    if (id == kDelayTimer) {
        // The delay timer never outlives the press it was started for.
        KillTimer(kDelayTimer);
        if (leftPressed || rightPressed)
            SetTimer(kRepeatTimer, kRepeatMs);
    } else if (id == kRepeatTimer) {
        if (rightPressed)
            Scroll(SB_LINERIGHT);
        else if (leftPressed)
            Scroll(SB_LINELEFT);
        else
            KillTimer(kRepeatTimer);
    }
    return 0;
}

LRESULT CSkHScrollBar::OnLButtonUp(POINT point) {
    PlaceThumb();
    StopTimers();
    const bool counts = pressStarted;
    WPARAM request = static_cast<WPARAM>(-1);
    if (Holds(LeftArrowRect(), point))
        request = SB_LINELEFT;
    else if (Holds(RightArrowRect(), point))
        request = SB_LINERIGHT;
    else if (!Holds(ThumbRect(), point) && !dragging && !dragStarted)
        request = thumbPos < point.x ? SB_PAGERIGHT : SB_PAGELEFT;
    releasing = true;
    if (GetCapture() == GetSafeHwnd())
        ReleaseCapture();
    releasing = false;
    ClearFlags();
    if (counts && request != static_cast<WPARAM>(-1))
        Scroll(request);
    return 0;
}

LRESULT CSkHScrollBar::OnMouseMove(POINT point) {
    if (!dragging)
        return 0;
    dragStarted = true;
    const int width = ClientWidth();
    thumbPos = HClampThumb(point.x - thumbLength / 2, width, Sizes());
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    const int target = HPositionForThumb(thumbPos, width, limit, Sizes());
    // A report list scrolls horizontally in pixels.
    if (target != pos && list && list->GetSafeHwnd())
        ::SendMessageA(list->GetSafeHwnd(), LVM_SCROLL, static_cast<WPARAM>(target - pos), 0);
    Invalidate(false);
    return 0;
}

LRESULT CSkHScrollBar::OnCaptureChanged(HWND) {
    // Capture taken away mid-press (a message box, another window): forget the press instead of repeating forever.
    if (!releasing) {
        StopTimers();
        ClearFlags();
        PlaceThumb();
    }
    return 0;
}

void CSkHScrollBar::StopTimers() {
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
}

void CSkHScrollBar::ClearFlags() {
    rightPressed = false;
    leftPressed = false;
    dragging = false;
    dragStarted = false;
    pressStarted = false;
}
