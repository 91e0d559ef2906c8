#include "controls/SkComboWindow.h"

#include "controls/SkComboBox.h"
#include "controls/SkinDrawing.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

BYTE maxAlpha = 255;

namespace {

constexpr UINT_PTR kFadeTimerId = 1;
constexpr UINT kFadeInterval = 20;
constexpr int kFadeStep = 20;
constexpr int kIgnoredMoves = 3;
constexpr int kScrollBarWidth = 10;
#ifndef CS_DROPSHADOW
constexpr UINT CS_DROPSHADOW = 0x00020000;
#endif

int TileOffset(int scrollOffset, HBITMAP tile) {
    const SIZE size = GetBitmapSize(tile);
    return size.cy > 0 ? -(scrollOffset % size.cy) : 0;
}

} // namespace

CSkComboWindow::CSkComboWindow(LayeredAttributesProc entry) : layeredAttributesEntry(entry) {
    maxAlpha = 255;
}

CSkComboWindow::~CSkComboWindow() {
    Close();
}

void CSkComboWindow::Prepare(CSkComboBox* newOwner, HFONT newFont, HBITMAP newItemBack, HBITMAP newFrame) {
    owner = newOwner;
    font = newFont;
    itemBackBitmap = newItemBack;
    frameBitmap = newFrame;
}

void CSkComboWindow::Measure(int comboWidth) {
    itemTexts.clear();
    std::vector<TextExtent> extents;
    int dropped = 0;
    if (owner && owner->GetSafeHwnd()) {
        RECT droppedRect = {};
        owner->SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&droppedRect));
        dropped = droppedRect.bottom - droppedRect.top;
        ClientDC dc(owner->GetSafeHwnd());
        SelectGuard fontSelection(dc.hdc(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        const int count = owner->GetCount();
        for (int i = 0; i < count; ++i) {
            itemTexts.push_back(owner->GetItemText(i));
            const SIZE size = TextExtentUtf8(dc.hdc(), itemTexts.back());
            extents.push_back({size.cx, size.cy});
        }
    }
    layout = MeasurePopup(extents, dropped, comboWidth);
}

bool CSkComboWindow::RegisterPopupClass() {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    HBRUSH background = GetSysColorBrush(COLOR_WINDOW);
    if (RegisterWindowClass(kComboWindowClass, CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW, arrow, background))
        return true;
    // Systems without drop shadows refuse the style.
    return RegisterWindowClass(kComboWindowClass, CS_DBLCLKS | CS_SAVEBITS, arrow, background);
}

bool CSkComboWindow::Open(int x, int y) {
    if (!RegisterPopupClass())
        return false;
    Close();
    HWND ownerWindow = owner ? owner->GetSafeHwnd() : nullptr;
    const RECT rect = {x, y, x + layout.width, y + layout.height};
    const DWORD exStyle = WS_EX_TOOLWINDOW | (layeredAttributesEntry ? WS_EX_LAYERED : 0);
    if (!CreateEx(exStyle, kComboWindowClass, "", WS_POPUP | WS_CLIPCHILDREN, rect, ownerWindow, 0))
        return false;
    HWND window = GetSafeHwnd();
    if (layeredAttributesEntry) {
        alpha = 0;
        layeredAttributesEntry(window, 0, 0, LWA_ALPHA);
        fadeTimer = SetTimer(kFadeTimerId, kFadeInterval);
    }
    if (layout.hasScrollBar) {
        scrollBar.SetLightColor(RGB(255, 255, 255));
        scrollBar.SetDarkColor(0);
        scrollBar.SetBackBitmap(itemBackBitmap);
        scrollBar.SetTakesFocus(false);
        const int count = static_cast<int>(layout.items.itemRects.size());
        scrollBar.Create(layout.width - 13, 3, kScrollBarWidth, layout.height - 6, count * 100,
                         layout.items.visibleCount * 100, window);
    }
    isOpen = true;
    scrollOffset = 0;
    ignoreMoves = kIgnoredMoves;
    // The system owns the region once it is set.
    SetWindowRgn(window, CreateRoundRectRgn(0, 0, layout.width + 1, layout.height + 1, 5, 5), FALSE);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    return true;
}

void CSkComboWindow::Close() {
    if (!isOpen)
        return;
    if (scrollBar.GetSafeHwnd())
        scrollBar.DestroyWindow();
    DestroyWindow();
    isOpen = false;
    hotIndex = -1;
    fadeTimer = 0;
}

void CSkComboWindow::InvalidateItem(int index) {
    if (index < 0 || index >= static_cast<int>(layout.items.itemRects.size()) || !GetSafeHwnd())
        return;
    // The rectangle's right and bottom are inclusive edges.
    const PixelRect& r = layout.items.itemRects[static_cast<size_t>(index)];
    RECT rect = {r.left, r.top - scrollOffset, r.right + 1, r.bottom - scrollOffset + 1};
    InvalidateRect(GetSafeHwnd(), &rect, TRUE);
}

void CSkComboWindow::HandleKey(UINT key) {
    if (!isOpen)
        return;
    switch (key) {
    case VK_RETURN:
        if (hotIndex >= 0 && owner)
            owner->PickItem(hotIndex);
        Close();
        break;
    case VK_ESCAPE:
        Close();
        if (owner)
            owner->Invalidate(true);
        break;
    case VK_UP:
    case VK_DOWN: {
        const int count = static_cast<int>(layout.items.itemRects.size());
        if (count == 0)
            break;
        const int old = hotIndex;
        hotIndex = StepIndex(hotIndex, count, key == VK_DOWN);
        InvalidateItem(old);
        InvalidateItem(hotIndex);
        ignoreMoves = kIgnoredMoves;
        EnsureVisible();
        break;
    }
    default: break;
    }
}

void CSkComboWindow::EnsureVisible() {
    const ScrollChange change =
        EnsureItemVisible(hotIndex, layout.items.itemPitch, scrollOffset, layout.items.visibleCount);
    if (!change.changed)
        return;
    scrollOffset = change.scrollOffset;
    if (layout.hasScrollBar)
        scrollBar.SetPos(change.scrollPos);
    if (GetSafeHwnd())
        Invalidate(true);
    if (scrollBar.GetSafeHwnd())
        scrollBar.Invalidate(true);
}

RECT CSkComboWindow::ItemStrip() const {
    if (layout.items.itemRects.empty())
        return RECT{0, 0, 0, 0};
    const PixelRect& first = layout.items.itemRects.front();
    return RECT{first.left, 3, first.right, layout.height - 3};
}

void CSkComboWindow::PaintFrame(HDC dc) {
    const RECT r = {0, 0, layout.width, layout.height};
    {
        SavedDC saved(dc);
        IntersectClipRect(dc, 1, 1, r.right - 1, r.bottom - 1);
        TileBitmap(dc, frameBitmap, 0, 0, r);
    }
    const COLORREF light = owner ? owner->GetLightColor() : RGB(200, 200, 200);
    const COLORREF shadow = owner ? owner->GetShadowColor() : RGB(180, 180, 180);
    DrawRoundedFrame(dc, r, light, shadow);
}

void CSkComboWindow::DrawItemArea(HDC dc, const RECT& client) {
    if (layout.items.itemRects.empty())
        return;
    const PixelRect& first = layout.items.itemRects.front();
    const RECT area = {first.left, client.top + 3, first.right, client.bottom - 3};
    SavedDC saved(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    TileBitmap(dc, itemBackBitmap, 0, TileOffset(scrollOffset, itemBackBitmap), area);
    DrawInsetBorder(dc, area, owner ? owner->GetShadowColor() : 0, owner ? owner->GetLightColor() : 0);
}

void CSkComboWindow::DrawItems(HDC dc, const RECT& client) {
    SavedDC saved(dc);
    IntersectClipRect(dc, client.left, client.top + 4, client.right - 5 - (layout.hasScrollBar ? 10 : 0),
                      client.bottom - 4);
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const COLORREF light = owner ? owner->GetLightColor() : RGB(200, 200, 200);
    const COLORREF shadow = owner ? owner->GetShadowColor() : RGB(180, 180, 180);
    for (size_t i = 0; i < layout.items.itemRects.size() && i < itemTexts.size(); ++i) {
        const RECT r = ToRect(layout.items.itemRects[i].Offset(0, -scrollOffset));
        // Items wholly outside the view draw nothing: skip them, which keeps a long list cheap.
        if (r.bottom < client.top || r.top > client.bottom)
            continue;
        const std::string& text = itemTexts[i];
        if (static_cast<int>(i) == hotIndex) {
            DrawHighlightedItem(dc, r, frameBitmap, TileOffset(scrollOffset, frameBitmap), shadow, light);
            SetTextColor(dc, owner ? owner->GetHotTextColor() : 0);
            TextOutUtf8(dc, r.left + 3, r.top + 2, text);
        } else {
            SetTextColor(dc, owner ? owner->GetTextColor() : 0);
            TextOutUtf8(dc, r.left + 2, r.top + 1, text);
        }
    }
}

void CSkComboWindow::PaintItems(HDC dc) {
    const RECT client = {0, 0, layout.width, layout.height};
    DrawItemArea(dc, client);
    DrawItems(dc, client);
}

LRESULT CSkComboWindow::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    if (!layout.hasScrollBar) {
        PaintItems(paint.hdc());
        return 0;
    }
    // Off screen, and only the item strip is copied, so that the frame and the scroll bar do not flicker.
    const RECT client = GetClientRect();
    MemoryBuffer buffer(paint.hdc(), client);
    PaintItems(buffer.hdc());
    const RECT strip = ItemStrip();
    BitBlt(paint.hdc(), strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, buffer.hdc(),
           strip.left, strip.top, SRCCOPY);
    return 0;
}

LRESULT CSkComboWindow::OnMouseMove(int x, int y) {
    if (ignoreMoves > 0) {
        --ignoreMoves;
        return 0;
    }
    const int hit = HitTestItems(layout.items.itemRects, x, y, scrollOffset);
    if (hit >= 0 && hit != hotIndex) {
        const int old = hotIndex;
        hotIndex = hit;
        InvalidateItem(old);
        InvalidateItem(hotIndex);
    }
    return 0;
}

LRESULT CSkComboWindow::OnChoice(int x, int y) {
    const int hit = HitTestItems(layout.items.itemRects, x, y, scrollOffset);
    if (hit < 0)
        return 0;
    CSkComboBox* chooser = owner;
    if (chooser)
        chooser->PickItem(hit);
    Close();
    return 0;
}

LRESULT CSkComboWindow::OnTimer(UINT_PTR id) {
    if (id == kFadeTimerId && layeredAttributesEntry && fadeTimer) {
        alpha += kFadeStep;
        if (alpha <= 255) {
            layeredAttributesEntry(GetSafeHwnd(), 0, static_cast<BYTE>(alpha), LWA_ALPHA);
        } else {
            layeredAttributesEntry(GetSafeHwnd(), 0, maxAlpha, LWA_ALPHA);
            KillTimer(fadeTimer);
            fadeTimer = 0;
        }
    }
    return Default(WM_TIMER, id, 0);
}

LRESULT CSkComboWindow::OnScroll(int pos) {
    scrollOffset = ScrollOffsetForPos(layout.items.itemPitch, pos);
    const RECT client = GetClientRect();
    ClientDC dc(GetSafeHwnd());
    MemoryBuffer buffer(dc.hdc(), client);
    PaintItems(buffer.hdc());
    const RECT strip = ItemStrip();
    BitBlt(dc.hdc(), strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top, buffer.hdc(),
           strip.left, strip.top, SRCCOPY);
    return 0;
}

LRESULT CSkComboWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_ERASEBKGND: PaintFrame(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_PAINT: return OnPaint();
    case WM_MOUSEMOVE: return OnMouseMove(x, y);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return OnChoice(x, y);
    case WM_TIMER: return OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_KEYDOWN: HandleKey(static_cast<UINT>(wParam & 0xFF)); return 0;
    case WM_SETFOCUS: return 0;
    // A click on the list must not take the activation from the dialog that owns the combo box.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case kScrollPosMessage: return OnScroll(static_cast<int>(wParam));
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
