#include "controls/SkScrollBar.h"

#include "controls/ScrollBarLogic.h"
#include "controls/SkinDrawing.h"

#include "framework/Gdi.h"

bool CSkScrollBar::Create(int x, int y, int width, int height, int newRange, int newPage, HWND parent) {
    originX = x;
    originY = y;
    range = newRange;
    page = newPage;
    pos = 0;
    dragging = false;
    const RECT rect = {x, y, x + width, y + height};
    return CreateEx(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, parent, 0);
}

void CSkScrollBar::Place(int x, int y, int width, int height, int newRange, int newPage) {
    pos = 0;
    dragging = false;
    range = newRange;
    page = newPage;
    originX = x;
    originY = y;
    if (!GetSafeHwnd())
        return;
    MoveWindow(GetSafeHwnd(), x, y, width, height, FALSE);
    Invalidate(true);
}

void CSkScrollBar::SetPos(int n) {
    pos = ClampScrollPos(n, range, page);
}

void CSkScrollBar::SetPosNotify(int n) {
    SetPos(n);
    HWND parent = GetSafeHwnd() ? GetParent(GetSafeHwnd()) : nullptr;
    if (parent)
        ::PostMessageA(parent, kScrollPosMessage, static_cast<WPARAM>(pos), reinterpret_cast<LPARAM>(GetSafeHwnd()));
    if (GetSafeHwnd())
        Invalidate(true);
}

void CSkScrollBar::Draw(HDC dc) const {
    const RECT client = GetClientRect();
    const int w = client.right;
    const int h = client.bottom;
    if (w <= 0 || h <= 0)
        return;
    const int r = w - 1;
    const int b = h - 1;
    SavedDC saved(dc);

    // The track continues the parent's own tiling of the same bitmap.
    {
        SavedDC clip(dc);
        IntersectClipRect(dc, 1, 1, w - 1, h - 1);
        const SIZE tile = GetBitmapSize(backBitmap);
        if (tile.cx > 0 && tile.cy > 0) {
            const RECT area = {0, 0, w, h};
            TileBitmap(dc, backBitmap, (originX / tile.cx) * tile.cx - originX, (originY / tile.cy) * tile.cy - originY,
                       area);
        }
    }
    DrawLine(dc, 0, 0, r, 0, darkColor);
    DrawLine(dc, 0, 0, 0, b, darkColor);
    DrawLine(dc, r, b, r, 0, lightColor);
    DrawLine(dc, r, b, 0, b, lightColor);

    const ThumbGeometry thumb = ComputeThumb(pos, range, page, b);
    if (!thumb.hasThumb)
        return;
    const int t = thumb.offset;
    const int l = thumb.length;
    const COLORREF raised = dragging ? darkColor : lightColor;
    const COLORREF sunk = dragging ? lightColor : darkColor;
    DrawLine(dc, 1, t + 1, r - 1, t + 1, raised);
    DrawLine(dc, 1, t + 1, 1, t + l + 9, raised);
    DrawLine(dc, r - 1, t + l + 9, r - 1, t + 1, sunk);
    DrawLine(dc, r - 1, t + l + 9, 1, t + l + 9, sunk);
    {
        SavedDC clip(dc);
        IntersectClipRect(dc, 2, t + 2, r - 1, t + l + 8);
        const RECT face = {2, t + 2, r - 1, t + l + 8};
        TileBitmap(dc, backBitmap, 0, t + 2, face);
    }
    const int c = t + 5 + l / 2;
    for (int i = 0; i < 6; ++i)
        DrawLine(dc, 2, c - 2 + i, r - 2, c - 2 + i, i % 2 == 0 ? lightColor : darkColor);
}

LRESULT CSkScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: Draw(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_PRINTCLIENT: Draw(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return OnPaint();
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return OnLButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    case WM_MOUSEMOVE: return OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    case WM_LBUTTONUP: return OnLButtonUp();
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    // In a dialog the arrow keys would otherwise move the focus on rather than reach the bar, which hands them on.
    case WM_GETDLGCODE: return CWnd::WindowProc(message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_CAPTURECHANGED: return OnCaptureChanged();
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CSkScrollBar::OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) {
    // Everything is painted while erasing; the button's own owner-draw request has nothing left to do.
    if (message != WM_DRAWITEM)
        return false;
    *result = TRUE;
    return true;
}

LRESULT CSkScrollBar::OnPaint() {
    PaintDC paint(GetSafeHwnd()); // BeginPaint erases, which draws the bar
    return 0;
}

LRESULT CSkScrollBar::OnLButtonDown(int x, int y) {
    const RECT client = GetClientRect();
    const ThumbGeometry thumb = ComputeThumb(pos, range, page, client.bottom);
    switch (ClassifyPress(y, thumb)) {
    case ScrollPress::pageDown: SetPosNotify(pos + page); break;
    case ScrollPress::drag:
        dragging = true;
        lastPoint = POINT{x, y};
        ClientToScreen(GetSafeHwnd(), &lastPoint);
        Invalidate(true);
        break;
    case ScrollPress::pageUp: SetPosNotify(pos - page); break;
    }
    // The button's own press handling would push it and report clicks; only its focus and capture are wanted, so
    // that a drag goes on outside the bar.
    if (takesFocus)
        SetFocus(GetSafeHwnd());
    SetCapture(GetSafeHwnd());
    return 0;
}

LRESULT CSkScrollBar::OnMouseMove(int x, int y) {
    if (!dragging)
        return 0;
    // In screen coordinates, so that the steps stay right while the pointer is outside the bar.
    POINT q = {x, y};
    ClientToScreen(GetSafeHwnd(), &q);
    const int dy = q.y - lastPoint.y;
    if (dy == 0)
        return 0;
    const RECT client = GetClientRect();
    SetPosNotify(pos + DragPositionDelta(dy, client.bottom, range));
    lastPoint = q;
    return 0;
}

LRESULT CSkScrollBar::OnLButtonUp() {
    dragging = false;
    Invalidate(true);
    if (GetCapture() == GetSafeHwnd())
        ReleaseCapture();
    return 0;
}

LRESULT CSkScrollBar::OnCaptureChanged() {
    // Capture taken away mid-drag (another window, a message box) ends the drag, or it would go on without a button.
    if (dragging) {
        dragging = false;
        Invalidate(true);
    }
    return 0;
}

LRESULT CSkScrollBar::OnKeyDown(WPARAM key, LPARAM flags) {
    if (key == VK_PRIOR)
        SetPosNotify(pos - page);
    else if (key == VK_NEXT)
        SetPosNotify(pos + page);
    else if (HWND parent = GetParent(GetSafeHwnd()))
        // The owner's keyboard handling keeps working while the bar has the focus.
        ::PostMessageA(parent, WM_KEYDOWN, key, flags);
    return 0;
}
