#include "skin/SkListView.h"

#include "skin/SkinBitmapDraw.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

COLORREF Resolve(COLORREF colour, int systemIndex) {
    return colour == kDefaultColour ? GetSysColor(systemIndex) : colour;
}

// The background of a cell; unselectedLook draws it as if the cell were not selected.
COLORREF Background(const CellFormat& f, bool unselectedLook, bool focus) {
    if (unselectedLook || !f.selected)
        return Resolve(f.backColour, COLOR_WINDOW);
    return focus ? Resolve(f.selectedBackColour, COLOR_HIGHLIGHT)
                 : Resolve(f.selectedBackColourInactive, COLOR_BTNFACE);
}

COLORREF TextColour(const CellFormat& f, bool unselectedLook, bool focus) {
    if (f.selected && !unselectedLook)
        return Resolve(f.selectedTextColour, focus ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    if (f.hot)
        return Resolve(f.hotTextColour, COLOR_HOTLIGHT);
    return Resolve(f.textColour, COLOR_WINDOWTEXT);
}

UINT AlignmentFormat(int headerFormat) {
    switch (headerFormat & HDF_JUSTIFYMASK) {
    case HDF_RIGHT: return DT_RIGHT;
    case HDF_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// Draws text clipped to clip, leaving the DC's clipping as it was.
void DrawClipped(HDC dc, const std::string& text, RECT area, UINT format, const RECT& clip) {
    if (IsEmpty(clip))
        return;
    SavedDC saved(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    DrawTextUtf8(dc, text, &area, format);
}

} // namespace

CSkListView::CSkListView() : cellFormat(std::make_unique<CellFormat>()) {}

CSkListView::~CSkListView() {
    // The bars act on this list: unlink them before the list goes, in case their windows outlive it.
    verticalBar.SetList(nullptr);
    horizontalBar.SetList(nullptr);
}

bool CSkListView::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    if (!CWnd::CreateEx(0, WC_LISTVIEWA, "", style | LVS_REPORT | LVS_OWNERDATA, rect, parent, id))
        return false;
    HWND headerWindow = ListView_GetHeader(GetSafeHwnd());
    return headerWindow && header.SubclassWindow(headerWindow);
}

bool CSkListView::SubclassWindow(HWND window) {
    HWND headerWindow = window ? ListView_GetHeader(window) : nullptr;
    if (!headerWindow || !header.SubclassWindow(headerWindow))
        return false;
    if (!CWnd::SubclassWindow(window)) {
        header.UnsubclassWindow();
        return false;
    }
    return true;
}

bool CSkListView::SubclassDlgItem(int id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

void CSkListView::AttachScrollBars() {
    HWND list = GetSafeHwnd();
    if (!list)
        return;
    if (!barsAttached) {
        InitializeFlatSB(list);
        FlatSB_EnableScrollBar(list, SB_BOTH, ESB_DISABLE_BOTH);
        HWND parent = GetParent(list);
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
        const RECT none = {0, 0, 0, 0};
        verticalBar.CreateEx(0, "STATIC", "", style, none, parent, kScrollBarId);
        horizontalBar.CreateEx(0, "STATIC", "", style, none, parent, kScrollBarId);
        verticalBar.SetList(this);
        horizontalBar.SetList(this);
        barsAttached = true;
        // The flat scroll bars are not everywhere more than a name (Wine's are stubs): the list's own bars would
        // still show inside it. From here on the list's frame keeps no room for them (OnNcCalcSize).
        SetWindowPos(list, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayoutScrollBars();
}

void CSkListView::LayoutScrollBars() {
    HWND list = GetSafeHwnd();
    if (!list || !barsAttached)
        return;
    RECT r = {};
    GetWindowRect(list, &r);
    MapWindowPoints(nullptr, GetParent(list), reinterpret_cast<POINT*>(&r), 2);
    if (verticalBar.GetSafeHwnd())
        MoveWindow(verticalBar.GetSafeHwnd(), r.right, r.top, verticalBar.Skin().barThickness,
                   r.bottom - r.top + verticalBar.Skin().endCapLength, TRUE);
    if (horizontalBar.GetSafeHwnd())
        MoveWindow(horizontalBar.GetSafeHwnd(), r.left, r.bottom, r.right - r.left + 1,
                   horizontalBar.Skin().barThickness, TRUE);
    ResyncBars();
}

void CSkListView::ResyncBars() {
    if (verticalBar.GetSafeHwnd())
        verticalBar.Resync();
    if (horizontalBar.GetSafeHwnd())
        horizontalBar.Resync();
}

bool CSkListView::GetScrollState(int bar, int* pos, int* limit) const {
    *pos = 0;
    *limit = 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetSafeHwnd() || !GetScrollInfo(GetSafeHwnd(), bar, &info))
        return false;
    *limit = ScrollLimit(info.nMin, info.nMax, info.nPage);
    *pos = std::clamp(info.nPos - info.nMin, 0, *limit);
    return true;
}

int CSkListView::RowHeight() const {
    RECT r = {};
    r.left = LVIR_BOUNDS;
    if (!GetSafeHwnd() || ListView_GetItemCount(GetSafeHwnd()) <= 0 ||
        !::SendMessageA(GetSafeHwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)))
        return 0;
    return r.bottom - r.top;
}

bool CSkListView::HasFocus() const {
    if (paintState.active)
        return paintState.focus;
    return GetSafeHwnd() && GetFocus() == GetSafeHwnd();
}

void CSkListView::BeginPaintState() {
    HWND list = GetSafeHwnd();
    PaintState& s = paintState;
    s = PaintState();
    s.focus = GetFocus() == list;
    s.fullRow = (ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT) != 0;
    s.showAlways = (GetWindowLongPtrA(list, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
    s.hot = ListView_GetHotItem(list);
    s.images = ListView_GetImageList(list, LVSIL_SMALL);
    s.itemCount = ListView_GetItemCount(list);
    const int columns = header.GetSafeHwnd() ? Header_GetItemCount(header.GetSafeHwnd()) : 0;
    const int top = ListView_GetTopIndex(list);
    for (int i = 0; i < columns; ++i) {
        HDITEMA column = {};
        column.mask = HDI_FORMAT;
        const bool known = ::SendMessageA(header.GetSafeHwnd(), HDM_GETITEMA, static_cast<WPARAM>(i),
                                          reinterpret_cast<LPARAM>(&column)) != 0;
        s.alignments.push_back(known ? kDefaultTextFormat + AlignmentFormat(column.fmt) : kDefaultTextFormat);
        // Every row's cells share their columns' edges: ask for them once, on the top row.
        RECT cell = {};
        if (s.itemCount > 0 && GetCellRect(std::clamp(top, 0, s.itemCount - 1), i, &cell))
            s.xs.emplace_back(cell.left, cell.right);
        else
            s.xs.emplace_back(0, 0);
    }
    s.active = true;
}

bool CSkListView::LoadRow(int item) {
    PaintState& s = paintState;
    if (item == s.rowItem)
        return true;
    RECT r = {};
    r.left = LVIR_BOUNDS;
    if (item < 0 || item >= s.itemCount ||
        !::SendMessageA(GetSafeHwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)))
        return false;
    s.rowItem = item;
    s.rowTop = r.top;
    s.rowBottom = r.bottom;
    s.rowSelected = (ListView_GetItemState(GetSafeHwnd(), item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    return true;
}

CellFormat& CSkListView::GetCellFormat(int item, int subItem) {
    CellFormat& f = *cellFormat;
    f.Reset();
    f.item = item;
    f.subItem = subItem;
    HWND list = GetSafeHwnd();
    if (!list)
        return f;
    if (paintState.active) {
        const PaintState& s = paintState;
        const bool isSelected = LoadRow(item) && s.rowSelected;
        f.selected = isSelected && (subItem == 0 || s.fullRow) && (s.focus || s.showAlways);
        f.hot = s.hot == item;
        f.imageList = s.images;
        if (subItem >= 0 && subItem < static_cast<int>(s.alignments.size()))
            f.textFormat = s.alignments[static_cast<size_t>(subItem)];
        ::SendMessageA(GetParent(list), kCellFormatMessage, reinterpret_cast<WPARAM>(list),
                       reinterpret_cast<LPARAM>(&f));
        return f;
    }
    const bool isSelected = (ListView_GetItemState(list, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const bool fullRow = (ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT) != 0;
    const bool showAlways = (GetWindowLongPtrA(list, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
    f.selected = isSelected && (subItem == 0 || fullRow) && (HasFocus() || showAlways);
    f.hot = ListView_GetHotItem(list) == item;
    f.imageList = ListView_GetImageList(list, LVSIL_SMALL);
    HDITEMA column = {};
    column.mask = HDI_FORMAT;
    if (header.GetSafeHwnd() && ::SendMessageA(header.GetSafeHwnd(), HDM_GETITEMA, static_cast<WPARAM>(subItem),
                                               reinterpret_cast<LPARAM>(&column)))
        f.textFormat = kDefaultTextFormat + AlignmentFormat(column.fmt);
    ::SendMessageA(GetParent(list), kCellFormatMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&f));
    return f;
}

bool CSkListView::GetCellRect(int item, int subItem, RECT* rect) {
    *rect = RECT{0, 0, 0, 0};
    HWND list = GetSafeHwnd();
    if (paintState.active) {
        const PaintState& s = paintState;
        if (subItem < 0 || subItem >= static_cast<int>(s.xs.size()) || !LoadRow(item))
            return false;
        *rect = RECT{s.xs[static_cast<size_t>(subItem)].first, s.rowTop, s.xs[static_cast<size_t>(subItem)].second,
                     s.rowBottom};
        return true;
    }
    if (!list || item < 0 || item >= ListView_GetItemCount(list) || subItem < 0)
        return false;
    const int columns = header.GetSafeHwnd() ? Header_GetItemCount(header.GetSafeHwnd()) : 0;
    if (subItem >= columns)
        return false;
    RECT r = {};
    r.top = subItem;
    r.left = LVIR_BOUNDS;
    if (!::SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)))
        return false;
    // Sub-item 0's bounds are the whole row: the cell ends where sub-item 1 begins.
    if (subItem == 0 && columns >= 2) {
        RECT next = {};
        next.top = 1;
        next.left = LVIR_BOUNDS;
        if (::SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&next)))
            r.right = next.left;
    }
    *rect = r;
    return true;
}

CellLayout CSkListView::LayoutOf(const CellFormat& f, const RECT& cell) const {
    CellLayoutInput in;
    in.cell = ToPixelRect(cell);
    in.hasCheckBox = f.hasCheckBox;
    in.centreCheckBox = f.centreCheckBox;
    int width = 0;
    int height = 0;
    if (f.imageIndex != -1 && f.imageList && ImageList_GetIconSize(f.imageList, &width, &height)) {
        in.hasImage = true;
        in.imageWidth = width;
        in.imageHeight = height;
    }
    in.centreImage = f.centreImage;
    return LayoutCell(in);
}

RECT CSkListView::GetCellPartRect(int item, int subItem, int part) {
    RECT cell = {};
    if (!GetCellRect(item, subItem, &cell))
        return RECT{0, 0, 0, 0};
    if (part == static_cast<int>(CellPart::whole))
        return cell;
    const CellLayout layout = LayoutOf(GetCellFormat(item, subItem), cell);
    return ToRect(CellPartRect(layout, ToPixelRect(cell), part));
}

void CSkListView::RedrawCells(int firstItem, int lastItem, int subItem, int part, bool erase) {
    HWND list = GetSafeHwnd();
    if (!list)
        return;
    const std::optional<RowSpan> rows = VisibleRedrawRows(firstItem, lastItem, ListView_GetItemCount(list),
                                                          ListView_GetTopIndex(list), ListView_GetCountPerPage(list));
    if (!rows)
        return;
    const RECT first = GetCellPartRect(rows->first, subItem, part);
    const RECT last = GetCellPartRect(rows->last, subItem, part);
    const RECT area = ToRect(BoundingUnion(ToPixelRect(first), ToPixelRect(last)));
    if (!IsEmpty(area))
        InvalidateRect(list, &area, erase ? TRUE : FALSE);
}

LRESULT CSkListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: DoPaint(reinterpret_cast<HDC>(wParam), GetClientRect()); return 0;
    case WM_ERASEBKGND: return OnEraseBackground();
    case WM_KEYDOWN:
    case WM_KEYUP: return OnKey(message, wParam, lParam);
    case WM_MOUSEMOVE: return 0; // the list view never sees the pointer move: no hover selection, no drag
    case WM_NCCALCSIZE: return OnNcCalcSize(wParam, lParam);
    case WM_NOTIFY: return OnNotify(wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CSkListView::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    // Only the rows under the update region: the list view draws the rows the buffer's clip box meets.
    RECT area = {};
    const RECT client = GetClientRect();
    if (IntersectRect(&area, &paint.paint().rcPaint, &client))
        DoPaint(paint.hdc(), area);
    return 0;
}

void CSkListView::DoPaint(HDC dc, const RECT& area) {
    HWND list = GetSafeHwnd();
    if (IsEmpty(area))
        return;
    SavedDC saved(dc);
    // The header paints itself; the copy below must not cover it.
    if (header.GetSafeHwnd() && IsWindowVisible(header.GetSafeHwnd())) {
        RECT headerRect = {};
        GetWindowRect(header.GetSafeHwnd(), &headerRect);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&headerRect), 2);
        ExcludeClipRect(dc, headerRect.left, headerRect.top, headerRect.right, headerRect.bottom);
    }
    MemoryBuffer buffer(dc, area);
    FillSolidRect(buffer.hdc(), area, kBufferColour);
    if (ListView_GetTextBkColor(list) != kListTextBack)
        ListView_SetTextBkColor(list, kListTextBack);
    if (ListView_GetTextColor(list) != kListText)
        ListView_SetTextColor(list, kListText);
    ResyncBars();
    // The platform paints into the buffer; the rows come out through custom draw.
    BeginPaintState();
    Default(WM_PAINT, reinterpret_cast<WPARAM>(buffer.hdc()), 0);
    paintState.active = false;
    buffer.Blit(dc);
}

LRESULT CSkListView::OnEraseBackground() {
    ResyncBars();
    return 1;
}

LRESULT CSkListView::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
    ResyncBars();
    return Default(message, wParam, lParam);
}

LRESULT CSkListView::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
    UpdateWindow(GetSafeHwnd());
    // Both forms of the message start with the proposed window rectangle, which becomes the client rectangle.
    auto* rect = reinterpret_cast<RECT*>(lParam);
    const RECT window = rect ? *rect : RECT{0, 0, 0, 0};
    const LRESULT result = Default(WM_NCCALCSIZE, wParam, lParam);
    if (barsAttached && rect) {
        // Give the room of the list's own scroll bars back to the client: the bitmap bars outside stand for them.
        // A list control has no caption, so its frame is as thick at the bottom and right as at the left.
        const LONG style = static_cast<LONG>(GetWindowLongPtrA(GetSafeHwnd(), GWL_STYLE));
        const int border = rect->left - window.left;
        if (style & WS_VSCROLL)
            rect->right = std::max(rect->left, window.right - border);
        if (style & WS_HSCROLL)
            rect->bottom = std::max(rect->top, window.bottom - border);
    }
    return result;
}

LRESULT CSkListView::OnNotify(WPARAM wParam, LPARAM lParam) {
    const auto* notify = reinterpret_cast<const NMHDR*>(lParam);
    if (notify && header.GetSafeHwnd() && notify->hwndFrom == header.GetSafeHwnd() && notify->code == NM_RCLICK)
        OnHeaderRightClick();
    return Default(WM_NOTIFY, wParam, lParam);
}

void CSkListView::OnHeaderRightClick() {
    HWND headerWindow = header.GetSafeHwnd();
    POINT point = {};
    if (!header.TakeRightClickPoint(&point)) {
        const DWORD where = GetMessagePos();
        point = POINT{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
        ScreenToClient(headerWindow, &point);
    }
    HeaderHit hit;
    const int count = Header_GetItemCount(headerWindow);
    for (int i = 0; i < count; ++i) {
        RECT r = {};
        if (Header_GetItemRect(headerWindow, i, &r) && PtInRect(&r, point)) {
            hit.column = i;
            break;
        }
    }
    ClientToScreen(headerWindow, &point);
    hit.x = point.x;
    hit.y = point.y;
    ::SendMessageA(GetParent(GetSafeHwnd()), kHeaderRightClickMessage, reinterpret_cast<WPARAM>(GetSafeHwnd()),
                   reinterpret_cast<LPARAM>(&hit));
}

bool CSkListView::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != WM_NOTIFY)
        return false;
    auto* notify = reinterpret_cast<NMHDR*>(lParam);
    if (!notify || notify->hwndFrom != GetSafeHwnd())
        return false;
    switch (notify->code) {
    case NM_CUSTOMDRAW: *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)); return true;
    case LVN_GETDISPINFOA:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(lParam));
        *result = 0;
        return true;
    case LVN_GETDISPINFOW:
        OnGetDispInfoWide(reinterpret_cast<NMLVDISPINFOW*>(lParam));
        *result = 0;
        return true;
    case LVN_HOTTRACK: *result = -1; return true;                                          // hot tracking never selects
    case NM_CLICK: OnClick(reinterpret_cast<const NMITEMACTIVATE*>(lParam)); return false; // the parent sees it too
    default: return false;
    }
}

LRESULT CSkListView::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        DrawCell(draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem);
        return CDRF_SKIPDEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

void CSkListView::OnGetDispInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    // The list view asks for indents and states many times a paint; only text and images come from the parent.
    if (!(item.mask & (LVIF_TEXT | LVIF_IMAGE)))
        return;
    const CellFormat& f = GetCellFormat(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const size_t length = std::min(f.text.size(), static_cast<size_t>(item.cchTextMax - 1));
        std::memcpy(item.pszText, f.text.data(), length);
        item.pszText[length] = '\0';
    }
    if (item.mask & LVIF_IMAGE) {
        item.iImage = f.imageIndex;
        if (f.hasCheckBox) {
            item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK((f.checkState & 0x400) ? 2 : 1);
            item.stateMask |= LVIS_STATEIMAGEMASK;
        }
    }
}

void CSkListView::OnGetDispInfoWide(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    if (!(item.mask & (LVIF_TEXT | LVIF_IMAGE)))
        return;
    const CellFormat& f = GetCellFormat(item.iItem, item.iSubItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        // The conversion fails whole when its output does not fit: converted first, then as much as fits.
        const std::wstring wide = WidenText(f.text);
        const size_t length = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
        wide.copy(item.pszText, length);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) {
        item.iImage = f.imageIndex;
        if (f.hasCheckBox) {
            item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK((f.checkState & 0x400) ? 2 : 1);
            item.stateMask |= LVIS_STATEIMAGEMASK;
        }
    }
}

void CSkListView::OnClick(const NMITEMACTIVATE* click) {
    HWND list = GetSafeHwnd();
    LVHITTESTINFO test = {};
    test.pt = click->ptAction;
    if (::SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&test)) < 0 || test.iItem < 0 ||
        test.iSubItem < 0 || !(test.flags & LVHT_ONITEM))
        return;
    RECT cell = {};
    if (!GetCellRect(test.iItem, test.iSubItem, &cell) || !PtInRect(&cell, test.pt))
        return;
    const CellFormat& f = GetCellFormat(test.iItem, test.iSubItem);
    const CellLayout layout = LayoutOf(f, cell);
    CellHit hit;
    hit.item = test.iItem;
    hit.subItem = test.iSubItem;
    const RECT image = ToRect(layout.image);
    const RECT box = ToRect(layout.checkBox);
    hit.onImage = !IsEmpty(image) && PtInRect(&image, test.pt);
    hit.onCheckBox = f.hasCheckBox && !IsEmpty(box) && PtInRect(&box, test.pt);
    ::SendMessageA(GetParent(list), kCellClickMessage, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(&hit));
}

void CSkListView::DrawProgressBar(HDC dc, const PixelRect& bar, int filled) const {
    // The stock DC pen and brush take any colour without creating an object per shade.
    SelectGuard pen(dc, GetStockObject(DC_PEN));
    SelectGuard brush(dc, GetStockObject(DC_BRUSH));
    auto shade = [&](const PixelRect& area, COLORREF start) {
        const BarShading shading = ShadeBar(area, start);
        for (int i = 0; i < shading.count; ++i) {
            const ShadeStep& step = shading.steps[i];
            SetDCPenColor(dc, step.colour);
            SetDCBrushColor(dc, step.colour);
            RoundRect(dc, step.rect.left, step.rect.top, step.rect.right, step.rect.bottom, 2, 2);
        }
    };
    shade(bar, kEmptyBarColour);
    if (filled > 0)
        shade(PixelRect{bar.left, bar.top, bar.left + filled, bar.bottom}, kFilledBarColour);
}

void CSkListView::DrawCell(HDC dc, int item, int subItem) {
    RECT cell = {};
    if (!GetCellRect(item, subItem, &cell) || IsEmpty(cell))
        return;
    const CellFormat& f = GetCellFormat(item, subItem);
    const bool focus = HasFocus();
    const CellLayout layout = LayoutOf(f, cell);
    SavedDC saved(dc);

    if (f.hasCheckBox) {
        FillSolidRect(dc, ToRect(layout.checkArea),
                      Background(f, f.checkUnselectedBackground || f.keepUnselectedLook, focus));
        RECT box = ToRect(layout.checkBox);
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | static_cast<UINT>(f.checkState));
    }

    if (layout.image.Width() > 0 && layout.image.Height() > 0) {
        const COLORREF back = Background(f, f.imageUnselectedBackground || f.keepUnselectedLook, focus);
        FillSolidRect(dc, ToRect(layout.imageArea), back);
        const COLORREF selectedBack = focus ? Resolve(f.selectedBackColour, COLOR_HIGHLIGHT)
                                            : Resolve(f.selectedBackColourInactive, COLOR_BTNFACE);
        const bool blend = f.selected && !f.keepUnselectedLook && f.imageSelectedStyle != 0 && selectedBack != CLR_NONE;
        const COLORREF previous = ImageList_SetBkColor(f.imageList, back);
        IMAGELISTDRAWPARAMS params = {};
        params.cbSize = sizeof params;
        params.himl = f.imageList;
        params.i = f.imageIndex;
        params.hdcDst = dc;
        params.x = layout.image.left;
        params.y = layout.image.top;
        params.cx = layout.image.Width();
        params.cy = layout.image.Height();
        params.rgbBk = CLR_DEFAULT;
        params.rgbFg = blend ? selectedBack : CLR_DEFAULT;
        params.fStyle = blend ? static_cast<UINT>(f.imageSelectedStyle) : ILD_NORMAL;
        params.dwRop = SRCCOPY;
        ImageList_DrawIndirect(&params);
        ImageList_SetBkColor(f.imageList, previous);
    }

    const bool hasBar = f.progressMax > 0;
    const bool showsSelected = f.selected && !f.keepUnselectedLook;
    RECT text = ToRect(layout.text);
    if (f.text.empty() && !hasBar) {
        FillSolidRect(dc, text, showsSelected ? kSelectedFill : Background(f, true, focus));
        return;
    }

    OwnedFont styled;
    if (f.bold || f.italic) {
        LOGFONTA font = {};
        if (GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) {
            if (f.bold)
                font.lfWeight = FW_BOLD;
            if (f.italic)
                font.lfItalic = TRUE;
            styled.reset(CreateFontIndirectA(&font));
        }
    }
    SelectGuard fontSelection(dc, styled ? static_cast<HGDIOBJ>(styled.get()) : GetCurrentObject(dc, OBJ_FONT));
    // With DT_NOPREFIX the text already shows as it is; doubling would show "&&".
    const std::string shown = (f.textFormat & DT_NOPREFIX) ? f.text : DoubleAmpersands(f.text);
    SetBkMode(dc, TRANSPARENT);

    if (hasBar) {
        const PixelRect bar = ProgressBarRect(layout.text, f.progressInset);
        const int filled = ProgressFillWidth(bar.Width(), f.progressPos, f.progressMax);
        DrawProgressBar(dc, bar, filled);
        const RECT barRect = ToRect(bar);
        SetTextColor(dc, Resolve(f.progressTextColour, COLOR_HIGHLIGHTTEXT));
        DrawClipped(dc, shown, barRect, f.textFormat, RECT{bar.left, bar.top, bar.left + filled, bar.bottom});
        SetTextColor(dc, TextColour(f, true, focus));
        DrawClipped(dc, shown, barRect, f.textFormat, RECT{bar.left + filled, bar.top, bar.right, bar.bottom});
        return;
    }
    if (showsSelected)
        FillSolidRect(dc, text, kSelectedFill);
    text.left += 2;
    OffsetRect(&text, -1, -1);
    SetTextColor(dc, TextColour(f, f.keepUnselectedLook, focus));
    DrawTextUtf8(dc, shown, &text, f.textFormat);
}
