#include "ListTestSupport.h"

namespace {

constexpr char kParentClass[] = "MovaraListTestParent";

} // namespace

ListTestParent::ListTestParent(int x, int y, int width, int height, const RECT& listRect, DWORD listStyle) {
    CWnd::RegisterWindowClass(kParentClass, CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const RECT rect = {x, y, x + width, y + height};
    CreateEx(0, kParentClass, "List test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rect, nullptr, 0);
    list.Create(WS_CHILD | WS_VISIBLE | listStyle, listRect, GetSafeHwnd(), 1011);
}

ListTestParent::~ListTestParent() {
    DestroyWindow();
}

void ListTestParent::SetColumns(const std::vector<TestColumn>& columns) {
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        ::SendMessageA(list.GetSafeHwnd(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void ListTestParent::SetRows(std::vector<TestRow> table) {
    rows = std::move(table);
    SetRowCount(static_cast<int>(rows.size()));
}

void ListTestParent::SetRowCount(int count) {
    ::SendMessageA(list.GetSafeHwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
}

void ListTestParent::FillCell(CellFormat& f) const {
    if (fillOverride) {
        fillOverride(f);
        return;
    }
    if (f.item < 0 || f.item >= static_cast<int>(rows.size()))
        return;
    const TestRow& row = rows[static_cast<size_t>(f.item)];
    if (f.subItem < 0 || f.subItem >= static_cast<int>(row.size()))
        return;
    const TestCell& cell = row[static_cast<size_t>(f.subItem)];
    f.text = cell.text;
    f.hasCheckBox = cell.hasCheckBox;
    f.checkState = cell.checked ? 0x400 : 0;
    f.progressPos = cell.progressPos;
    f.progressMax = cell.progressMax;
    f.bold = cell.bold;
    f.textFormat |= cell.extraTextFormat;
    f.textColour = cell.textColour;
    f.backColour = cell.backColour;
}

LRESULT ListTestParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kCellFormatMessage:
        ++cellRequests;
        if (answersCells)
            FillCell(*reinterpret_cast<CellFormat*>(lParam));
        return 0;
    case kCellClickMessage: cellHits.push_back(*reinterpret_cast<const CellHit*>(lParam)); return 0;
    case kHeaderRightClickMessage: headerHits.push_back(*reinterpret_cast<const HeaderHit*>(lParam)); return 0;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CLICK))
            ++clickNotifications;
        return CWnd::WindowProc(message, wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void SelectRows(HWND list, const std::vector<int>& rowsToSelect) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rowsToSelect)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}
