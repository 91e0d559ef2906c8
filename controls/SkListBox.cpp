#include "controls/SkListBox.h"

#include "controls/SkinDrawing.h"

#include "skin/SkinSettings.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"
#include "framework/Utf8.h"

namespace {

constexpr int kItemFontHeight = 11;
constexpr int kMaxPiece = 127;

int TileOffset(int scrollOffset, HBITMAP tile) {
    const SIZE size = GetBitmapSize(tile);
    return size.cy > 0 ? -(scrollOffset % size.cy) : 0;
}

} // namespace

CSkListBox::CSkListBox()
    : lightColor(skinSettings.listBoxSkin.lightColor), shadowColor(skinSettings.listBoxSkin.shadowColor),
      selTextColor(skinSettings.listBoxSkin.selTextColor), textColor(skinSettings.listBoxSkin.textColor),
      backBitmap(skinSettings.listBoxSkin.backBitmap), itemBackBitmap(skinSettings.listBoxSkin.itemBackBitmap),
      selected(kMaxItems, false) {}

bool CSkListBox::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    // The list box's own scroll bars would cover the skinned one, and its child must not be painted over.
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (style & ~(WS_VSCROLL | WS_HSCROLL)) | WS_CLIPCHILDREN);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    scrollBar.SetLightColor(lightColor);
    scrollBar.SetDarkColor(shadowColor);
    scrollBar.SetBackBitmap(backBitmap);
    scrollBar.Create(0, 0, 10, 10, 0, 0, window);
    Layout();
    return true;
}

bool CSkListBox::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkListBox::Layout() {
    const RECT client = GetSafeHwnd() ? GetClientRect() : RECT{};
    width = client.right;
    height = client.bottom;
    std::vector<TextExtent> extents;
    if (GetSafeHwnd()) {
        ClientDC dc(GetSafeHwnd());
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
        SelectGuard fontSelection(dc.hdc(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
        for (const std::string& text : itemText) {
            const SIZE size = TextExtentUtf8(dc.hdc(), text);
            extents.push_back({size.cx, size.cy});
        }
    }
    layout = StackItems(extents, height, 5, width - 15);
    const int count = GetCount();
    const int range = count == 0 ? 10 : count * 100;
    const int page = count == 0 ? 10 : layout.visibleCount * 100;
    scrollBar.Place(width - 13, 3, 10, height - 6, range, page);
    scrollOffset = 0;
}

void CSkListBox::ResetContent() {
    itemText.clear();
    Layout();
    if (GetSafeHwnd())
        Invalidate(true);
}

int CSkListBox::AddString(const char* text) {
    if (GetCount() < kMaxItems) {
        itemText.emplace_back(text ? text : "");
        selected[itemText.size() - 1] = false;
        if (GetSafeHwnd())
            Invalidate(true);
        Layout();
    }
    return GetCount() - 1;
}

int CSkListBox::GetSelectedIndex() const {
    for (int i = 0; i < GetCount(); ++i)
        if (selected[static_cast<size_t>(i)])
            return i;
    return -1;
}

int CSkListBox::SetItemSelected(int index, bool flag) {
    if (index >= 0 && index < kMaxItems)
        selected[static_cast<size_t>(index)] = flag;
    if (GetSafeHwnd())
        Invalidate(true);
    return index;
}

void CSkListBox::SelectOnly(int index) {
    selected.assign(kMaxItems, false);
    SetItemSelected(index, true);
}

void CSkListBox::EnsureVisible(int index) {
    if (index < 0)
        return;
    const ScrollChange change = EnsureItemVisible(index, layout.itemPitch, scrollOffset, layout.visibleCount);
    if (!change.changed)
        return;
    scrollOffset = change.scrollOffset;
    scrollBar.SetPos(change.scrollPos);
    if (GetSafeHwnd()) {
        Invalidate(true);
        if (scrollBar.GetSafeHwnd())
            scrollBar.Invalidate(true);
    }
}

void CSkListBox::PostNotification(WORD code) {
    HWND window = GetSafeHwnd();
    ::PostMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code),
                   reinterpret_cast<LPARAM>(window));
}

bool CSkListBox::HandleKey(UINT key) {
    if (key != VK_UP && key != VK_DOWN)
        return false;
    if (GetCount() == 0)
        return true;
    const int next = StepIndex(GetSelectedIndex(), GetCount(), key == VK_DOWN);
    SelectOnly(next);
    EnsureVisible(next);
    PostNotification(LBN_SELCHANGE);
    return true;
}

bool CSkListBox::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != GetSafeHwnd() || msg->message != WM_KEYDOWN)
        return false;
    return HandleKey(static_cast<UINT>(msg->wParam & 0xFF));
}

void CSkListBox::PaintFrame(HDC dc) {
    const RECT r = GetClientRect();
    SavedDC saved(dc);
    IntersectClipRect(dc, 1, 1, r.right - 1, r.bottom - 1);
    ExcludeClipRect(dc, 5, 3, width - 20, r.bottom - 6);
    TileBitmap(dc, backBitmap, 0, 0, r);
    DrawRoundedFrame(dc, r, lightColor, shadowColor);
}

void CSkListBox::DrawTabbedText(HDC dc, int x, int y, const std::string& text) const {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t tab = text.find('\t', start);
        pieces.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    std::vector<int> widths;
    for (std::string& piece : pieces) {
        piece.resize(Utf8CutPoint(piece, kMaxPiece));
        const SIZE size = TextExtentUtf8(dc, piece);
        widths.push_back(size.cx);
    }
    const std::vector<int> xs = TabbedPieceX(widths, x, tabWidth);
    for (size_t i = 0; i < pieces.size(); ++i)
        if (!pieces[i].empty())
            TextOutUtf8(dc, xs[i], y, pieces[i]);
}

void CSkListBox::PaintItems(HDC dc) {
    const RECT r = GetClientRect();
    {
        const RECT area = {5, r.top + 3, width - 15, r.bottom - 3};
        SavedDC saved(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        TileBitmap(dc, itemBackBitmap, 0, TileOffset(scrollOffset, itemBackBitmap), area);
        DrawInsetBorder(dc, area, shadowColor, lightColor);
    }
    OwnedFont font(CreateSkinFont(kItemFontHeight));
    SavedDC saved(dc);
    SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, r.left, r.top + 4, r.right - 15, r.bottom - 4);
    for (int i = 0; i < GetCount() && i < static_cast<int>(layout.itemRects.size()); ++i) {
        const PixelRect item = layout.itemRects[static_cast<size_t>(i)].Offset(0, -scrollOffset);
        if (item.bottom < r.top || item.top > r.bottom)
            continue;
        const std::string& text = itemText[static_cast<size_t>(i)];
        if (selected[static_cast<size_t>(i)]) {
            DrawHighlightedItem(dc, ToRect(item), backBitmap, TileOffset(scrollOffset, backBitmap), lightColor,
                                shadowColor);
            SetTextColor(dc, selTextColor);
            DrawTabbedText(dc, item.left + 3, item.top + 2, text);
        }
        SetTextColor(dc, textColor);
        DrawTabbedText(dc, item.left + 2, item.top + 1, text);
    }
}

void CSkListBox::CopyStrip(HDC target, HDC source) const {
    const RECT client = GetClientRect();
    BitBlt(target, 5, 3, width - 20, client.bottom - 6, source, 5, 3, SRCCOPY);
}

LRESULT CSkListBox::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    const RECT client = GetClientRect();
    if (client.right <= 0 || client.bottom <= 0)
        return 0;
    MemoryBuffer buffer(paint.hdc(), client);
    PaintItems(buffer.hdc());
    CopyStrip(paint.hdc(), buffer.hdc());
    return 0;
}

LRESULT CSkListBox::OnPress(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    // Only the focus is wanted of the platform's press handling: with the notify style it would also report a
    // double click of its own, and the platform's list holds no items to track.
    SetFocus(GetSafeHwnd());
    const LRESULT result = 0;
    const int hit =
        HitTestItems(layout.itemRects, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                     scrollOffset);
    if (hit < 0)
        return result;
    SelectOnly(hit);
    PostNotification(LBN_SELCHANGE);
    if (message == WM_LBUTTONDBLCLK)
        PostNotification(LBN_DBLCLK);
    return result;
}

LRESULT CSkListBox::OnScroll(int pos) {
    scrollOffset = ScrollOffsetForPos(layout.itemPitch, pos);
    const RECT client = GetClientRect();
    ClientDC dc(GetSafeHwnd());
    MemoryBuffer buffer(dc.hdc(), client);
    PaintItems(buffer.hdc());
    CopyStrip(dc.hdc(), buffer.hdc());
    return 0;
}

LRESULT CSkListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: PaintFrame(reinterpret_cast<HDC>(wParam)); return 1;
    case WM_PAINT: return OnPaint();
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnPress(message, wParam, lParam);
    case kScrollPosMessage: return OnScroll(static_cast<int>(wParam));
    case WM_SIZE: Layout(); return Default(message, wParam, lParam);
    case WM_KEYDOWN:
        // Keys sent rather than posted skip the pre-translation.
        if (HandleKey(static_cast<UINT>(wParam & 0xFF)))
            return 0;
        return Default(message, wParam, lParam);
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
