#include "skin/SkVScrollBar.h"

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

CSkVScrollBar::CSkVScrollBar() {
    const VScrollSkin& s = skinSettings.vScrollSkin;
    upArrowHeight = s.upArrowHeight;
    upArrowWidth = s.upArrowWidth;
    downArrowHeight = s.downArrowHeight;
    downArrowWidth = s.downArrowWidth;
    bottomWidth = s.bottomWidth;
    bottomHeight = s.bottomHeight;
    spare = s.spare;
    trackReserve = s.trackReserve;
    thumbThickness = s.thumbThickness;
    thumbLength = s.thumbLength;
    barWidth = s.barWidth;
    spanHeight = s.spanHeight;
    backColour = s.backColour;
    upArrowBitmap = s.upArrowBitmap;
    downArrowBitmap = s.downArrowBitmap;
    spanBitmap = s.spanBitmap;
    bottomBitmap = s.bottomBitmap;
    thumbBitmap = s.thumbBitmap;
    thumbPos = upArrowHeight - 1;
}

VBarSizes CSkVScrollBar::Sizes() const {
    return VBarSizes{upArrowHeight, downArrowHeight, bottomHeight, thumbLength, trackReserve};
}

LRESULT CSkVScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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

int CSkVScrollBar::ClientHeight() const {
    const RECT client = GetClientRect();
    return client.bottom - client.top;
}

RECT CSkVScrollBar::UpArrowRect() const {
    return RECT{0, 0, upArrowWidth, upArrowHeight};
}

RECT CSkVScrollBar::DownArrowRect() const {
    const int top = ClientHeight() - bottomHeight - downArrowHeight;
    return RECT{0, top, downArrowWidth, top + downArrowHeight};
}

RECT CSkVScrollBar::ThumbRect() const {
    return RECT{0, thumbPos, thumbThickness, thumbPos + thumbLength};
}

void CSkVScrollBar::ReadScroll(int* pos, int* limit) const {
    *pos = 0;
    *limit = 0;
    if (list)
        list->GetScrollState(SB_VERT, pos, limit);
}

void CSkVScrollBar::Resync() {
    if (!dragging)
        PlaceThumb();
}

void CSkVScrollBar::PlaceThumb() {
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    thumbPos = VThumbPosition(ClientHeight(), pos, limit, Sizes());
    if (GetSafeHwnd())
        Invalidate(false);
}

void CSkVScrollBar::Scroll(WPARAM request) {
    if (list && list->GetSafeHwnd())
        ::SendMessageA(list->GetSafeHwnd(), WM_VSCROLL, request, 0);
    Resync();
}

LRESULT CSkVScrollBar::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    DoPaint(paint.hdc());
    return 0;
}

void CSkVScrollBar::DoPaint(HDC dc) {
    const RECT client = GetClientRect();
    const int height = client.bottom - client.top;
    if (client.right <= client.left || height <= 0)
        return;
    MemoryBuffer buffer(dc, client);
    HDC memory = buffer.hdc();
    MemoryDC scratch(memory);
    FillSolidRect(memory, client, backColour);
    DrawSkinBitmap(memory, scratch.hdc(), upArrowBitmap, 0, 0, upArrowWidth, upArrowHeight);
    StretchSkinBitmap(memory, scratch.hdc(), spanBitmap, barWidth, spanHeight, 0, upArrowHeight, barWidth,
                      height - bottomHeight - downArrowHeight);
    DrawSkinBitmap(memory, scratch.hdc(), downArrowBitmap, 0, height - bottomHeight - downArrowHeight, downArrowWidth,
                   downArrowHeight);
    DrawSkinBitmap(memory, scratch.hdc(), bottomBitmap, 0, height - bottomHeight, bottomWidth, bottomHeight);
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    // No thumb while the list cannot scroll this way.
    if (limit != 0)
        DrawSkinBitmap(memory, scratch.hdc(), thumbBitmap, 1, thumbPos, thumbThickness, thumbLength);
    buffer.Blit(dc);
}

LRESULT CSkVScrollBar::OnLButtonDown(POINT point, WPARAM wParam, LPARAM lParam) {
    SetCapture(GetSafeHwnd());
    pressStarted = true;
    if (Holds(ThumbRect(), point)) {
        dragging = true;
    } else if (Holds(DownArrowRect(), point)) {
        downPressed = true;
        SetTimer(kDelayTimer, kDelayMs);
    } else if (Holds(UpArrowRect(), point)) {
        upPressed = true;
        SetTimer(kDelayTimer, kDelayMs);
    }
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CSkVScrollBar::OnTimer(UINT_PTR id) {
    if (id == kDelayTimer) {
        // The delay timer never outlives the press it was started for.
        KillTimer(kDelayTimer);
        if (upPressed || downPressed)
            SetTimer(kRepeatTimer, kRepeatMs);
    } else if (id == kRepeatTimer) {
        if (downPressed)
            Scroll(SB_LINEDOWN);
        else if (upPressed)
            Scroll(SB_LINEUP);
        else
            KillTimer(kRepeatTimer);
    }
    return 0;
}

LRESULT CSkVScrollBar::OnLButtonUp(POINT point) {
    PlaceThumb();
    StopTimers();
    const bool counts = pressStarted;
    WPARAM request = static_cast<WPARAM>(-1);
    if (Holds(UpArrowRect(), point) && upPressed)
        request = SB_LINEUP;
    else if (Holds(DownArrowRect(), point) && downPressed)
        request = SB_LINEDOWN;
    else if (!Holds(ThumbRect(), point) && !dragging && !dragStarted)
        request = thumbPos < point.y ? SB_PAGEDOWN : SB_PAGEUP;
    releasing = true;
    if (GetCapture() == GetSafeHwnd())
        ReleaseCapture();
    releasing = false;
    ClearFlags();
    if (counts && request != static_cast<WPARAM>(-1))
        Scroll(request);
    return 0;
}

LRESULT CSkVScrollBar::OnMouseMove(POINT point) {
    if (!dragging)
        return 0;
    dragStarted = true;
    const int height = ClientHeight();
    thumbPos = VClampThumb(point.y - thumbLength / 2, height, Sizes());
    int pos = 0;
    int limit = 0;
    ReadScroll(&pos, &limit);
    const int target = VPositionForThumb(thumbPos, height, limit, Sizes());
    const int rowHeight = list ? list->RowHeight() : 0;
    // LVM_SCROLL counts a report list's vertical amount in pixels and turns it back into whole rows.
    if (target != pos && rowHeight > 0)
        ::SendMessageA(list->GetSafeHwnd(), LVM_SCROLL, 0, static_cast<LPARAM>(target - pos) * rowHeight);
    Invalidate(false);
    return 0;
}

LRESULT CSkVScrollBar::OnCaptureChanged(HWND) {
    // Capture taken away mid-press (a message box, another window): forget the press instead of repeating forever.
    if (!releasing) {
        StopTimers();
        ClearFlags();
        PlaceThumb();
    }
    return 0;
}

void CSkVScrollBar::StopTimers() {
    KillTimer(kRepeatTimer);
    KillTimer(kDelayTimer);
}

void CSkVScrollBar::ClearFlags() {
    upPressed = false;
    downPressed = false;
    dragging = false;
    dragStarted = false;
    pressStarted = false;
}
