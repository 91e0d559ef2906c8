#include "ListTestSupport.h"

ListTestParent::ListTestParent(int x, int y, int width, int height, const RECT& listRect) {
    CWnd::RegisterWindowClass("MovaraListTestParent", CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CreateEx(0, "MovaraListTestParent", "List test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
             {x, y, x + width, y + height}, nullptr, 0);
    list.Create(WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS, listRect, GetSafeHwnd(), 1011);
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

void ListTestParent::FillCell(CellFormat& f) const {
    if (fillOverride)
        return fillOverride(f);
    if (f.item < 0 || f.item >= static_cast<int>(rows.size()))
        return;
    const TestRow& row = rows[static_cast<size_t>(f.item)];
    if (f.subItem == 0) {
        f.hasCheckBox = true;
        f.checkState = row.checked ? 0x400 : 0;
    } else if (f.subItem == 1) {
        f.text = row.name;
        f.bold = row.bold;
        f.textFormat |= row.extraTextFormat;
    } else if (f.subItem == 2 && row.progress) {
        f.progressPos = *row.progress;
        f.progressMax = 100;
    }
}

LRESULT ListTestParent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kCellFormatMessage:
        ++cellRequests;
        FillCell(*reinterpret_cast<CellFormat*>(lParam));
        return 0;
    case kCellClickMessage: cellHits.push_back(*reinterpret_cast<const CellHit*>(lParam)); return 0;
    case WM_NOTIFY:
        clickNotifications += reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CLICK);
        return CWnd::WindowProc(message, wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void SelectRows(HWND list, const std::vector<int>& rowsToSelect) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rowsToSelect)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}
