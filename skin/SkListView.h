#pragma once

#include "skin/CellFormat.h"
#include "skin/ListGeometry.h"
#include "skin/SkListHeader.h"
#include "skin/SkListScrollBar.h"

#include "framework/Wnd.h"

#include <commctrl.h>

#include <memory>
#include <vector>

// The skinned task list: the platform's owner-data report list view, subclassed, with everything visible drawn here.
// Rows come out cell by cell through custom draw; for every cell the list asks its parent for text and look with
// kCellFormatMessage and a CellFormat record. The column header is a CSkListHeader; the scroll bars are two bitmap
// bars beside the list in its parent (AttachScrollBars), which follow the list's own scroll state.
//
// The parent must be a CWnd (or reflect WM_NOTIFY to it some other way): custom draw, display info, hot tracking and
// clicks arrive as reflected notifications. A parent that ignores kCellFormatMessage gets empty cells.
class CSkListView : public CWnd {
public:
    static constexpr COLORREF kBufferColour = RGB(220, 220, 220);   // the buffer under the rows
    static constexpr COLORREF kSelectedFill = RGB(240, 240, 240);   // behind a selected cell's text
    static constexpr COLORREF kEmptyBarColour = RGB(74, 97, 133);   // start colour of the empty progress bar
    static constexpr COLORREF kFilledBarColour = RGB(83, 184, 255); // start colour of the filled part
    static constexpr COLORREF kListTextBack = RGB(255, 255, 255);
    static constexpr COLORREF kListText = RGB(185, 194, 212);
    static constexpr UINT kScrollBarId = 0xFFFF;

    CSkListView();
    ~CSkListView() override;

    // Creates a report list view (LVS_REPORT | LVS_OWNERDATA are added to style) and binds it with its header.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // Binds an existing list view: its header first, then the list itself.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);

    // Switches the list's own scroll bars off and creates the two bitmap bars beside it in its parent: call once,
    // after the list has its place. They are not moved again when the list moves; LayoutScrollBars does that.
    void AttachScrollBars();
    void LayoutScrollBars();

    // Invalidates one part of sub-item subItem in the visible rows from firstItem to lastItem (0 the whole cell,
    // 1 the check box, 2 the image, anything else the text), erasing when erase is set.
    void RedrawCells(int firstItem, int lastItem, int subItem, int part, bool erase);

    // The cell's format: reset, the cell's state set, then filled by the parent. The record is shared: the next call
    // overwrites it.
    virtual CellFormat& GetCellFormat(int item, int subItem);

    // The cell's rectangle in client coordinates; false for a cell outside the list.
    bool GetCellRect(int item, int subItem, RECT* rect);
    // The rectangle of one part of a cell (as RedrawCells counts parts); empty when the cell is outside the list.
    RECT GetCellPartRect(int item, int subItem, int part);
    // The scroll bar's position and highest position (0 when the list cannot scroll that way).
    bool GetScrollState(int bar, int* pos, int* limit) const;
    // Height of one row (the first item's), 0 for an empty list.
    int RowHeight() const;

    // Paints area of the list into dc (client coordinates) as WM_PAINT does: the header's area is left alone.
    void DoPaint(HDC dc, const RECT& area);

    CSkListHeader& Header() { return header; }
    CSkVScrollBar& VerticalBar() { return verticalBar; }
    CSkHScrollBar& HorizontalBar() { return horizontalBar; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Draws one cell into dc, the list's paint context, for sub-item pre-paint.
    virtual void DrawCell(HDC dc, int item, int subItem);

private:
    LRESULT OnPaint();
    LRESULT OnEraseBackground();
    LRESULT OnKey(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnGetDispInfo(NMLVDISPINFOA* info);
    void OnGetDispInfoWide(NMLVDISPINFOW* info);
    void OnClick(const NMITEMACTIVATE* click);
    void OnHeaderRightClick();
    void ResyncBars();
    bool HasFocus() const;
    CellLayout LayoutOf(const CellFormat& format, const RECT& cell) const;
    void DrawProgressBar(HDC dc, const PixelRect& bar, int filled) const;

    // What stays the same through one paint, read once when it starts: every message to the subclassed list costs a
    // trip through two subclass chains, and a page has a hundred cells or more.
    struct PaintState {
        bool active = false;
        bool focus = false;
        bool fullRow = false;
        bool showAlways = false;
        int hot = -1;
        HIMAGELIST images = nullptr;
        int itemCount = 0;
        std::vector<UINT> alignments;        // per column
        std::vector<std::pair<int, int>> xs; // per column: left and right edge of its cells
        int rowItem = -1;                    // the last row asked about
        int rowTop = 0;
        int rowBottom = 0;
        bool rowSelected = false;
    };
    void BeginPaintState();
    bool LoadRow(int item);

    CSkListHeader header;
    CSkVScrollBar verticalBar;
    CSkHScrollBar horizontalBar;
    std::unique_ptr<CellFormat> cellFormat; // one record for every cell
    bool barsAttached = false;
    PaintState paintState;
};
