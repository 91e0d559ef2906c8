#pragma once

#include "controls/ItemListLogic.h"
#include "controls/SkScrollBar.h"

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <string>
#include <vector>

// A single-selection list drawn from the skin, with its own item store and an always-shown narrow scroll bar.
// Attached to a platform list box, which never holds an item itself. Selections by mouse or key post LBN_SELCHANGE
// (also for the item already selected); a double click posts LBN_DBLCLK after it.
class CSkListBox : public CPaintedWnd {
public:
    static constexpr int kMaxItems = 200;

    CSkListBox();

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);

    void ResetContent();
    // Adds at the end and returns the new item's index; a full list adds nothing and returns kMaxItems - 1.
    int AddString(const char* text);
    int GetCount() const { return static_cast<int>(itemText.size()); }
    const std::string& GetItemText(int index) const { return itemText[static_cast<size_t>(index)]; }
    // The lowest selected index, or -1.
    int GetSelectedIndex() const;
    // Sets one flag alone; no notification. Indexes outside the list are ignored.
    int SetItemSelected(int index, bool flag);
    void EnsureVisible(int index);

    int GetScrollOffset() const { return scrollOffset; }
    int GetVisibleCount() const { return layout.visibleCount; }
    int GetItemPitch() const { return layout.itemPitch; }
    const std::vector<PixelRect>& GetItemRects() const { return layout.itemRects; }
    const CSkScrollBar& GetScrollBar() const { return scrollBar; }

    // Painting steps into dc at client coordinates.
    void PaintFrame(HDC dc);
    void PaintItems(HDC dc);
    // The frame and the items, as the erase and the paint draw them on the screen.
    void DoPaint(HDC dc, const RECT&) override {
        PaintFrame(dc);
        PaintItems(dc);
    }
    using CPaintedWnd::DoPaint;

    bool PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    void SelectOnly(int index);
    void PostNotification(WORD code);
    bool HandleKey(UINT key);
    LRESULT OnPaint();
    LRESULT OnPress(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnScroll(int pos);
    void CopyStrip(HDC target, HDC source) const;
    void DrawTabbedText(HDC dc, int x, int y, const std::string& text) const;

    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF selTextColor = 0;
    COLORREF textColor = 0;
    HBITMAP backBitmap = nullptr;
    HBITMAP itemBackBitmap = nullptr;
    std::vector<std::string> itemText;
    std::vector<bool> selected;
    ItemListLayout layout;
    int width = 0;
    int height = 0;
    int scrollOffset = 0;
    int tabWidth = 20;
    CSkScrollBar scrollBar;
};
