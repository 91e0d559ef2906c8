#pragma once

#include "controls/ItemListLogic.h"
#include "controls/SkScrollBar.h"

#include "skin/SkinSettings.h"

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <vector>

class CSkComboBox;

inline constexpr char kComboWindowClass[] = "SkComboWindowClass";

// The final opacity of every popup's fade-in.
extern BYTE maxAlpha;

// The combo box's own drop-down list: a rounded, framed popup over tiled bitmaps with the item under the pointer
// highlighted, a fade-in where layered windows exist, and a narrow scroll bar when the items do not fit. It never
// takes the focus: the combo box keeps it and hands it the keys while it is open.
class CSkComboWindow : public CPaintedWnd {
public:
    explicit CSkComboWindow(LayeredAttributesProc layeredAttributesEntry);
    ~CSkComboWindow() override;

    // What the owner hands over at every opening.
    void Prepare(CSkComboBox* owner, HFONT font, HBITMAP itemBackBitmap, HBITMAP frameBitmap);
    // Measures the owner's items; the popup's size follows.
    void Measure(int comboWidth);
    // Opens at a screen position; false when the window class or the window cannot be made.
    bool Open(int x, int y);
    void Close();
    bool IsOpen() const { return isOpen; }
    // The list's keys (Return, Escape, Up, Down) while it is open.
    void HandleKey(UINT key);
    void EnsureVisible();

    int GetHotIndex() const { return hotIndex; }
    int GetWidth() const { return layout.width; }
    int GetHeight() const { return layout.height; }
    int GetScrollOffset() const { return scrollOffset; }
    int GetAlpha() const { return alpha; }
    bool IsFading() const { return fadeTimer != 0; }
    const PopupLayout& GetLayout() const { return layout; }
    const CSkScrollBar& GetScrollBar() const { return scrollBar; }

    // Both paint steps into dc at client coordinates; the frame is the erase step.
    void PaintFrame(HDC dc);
    void PaintItems(HDC dc);
    // The frame and the items, as the erase and the paint draw them on the screen.
    void DoPaint(HDC dc, const RECT&) override {
        PaintFrame(dc);
        PaintItems(dc);
    }
    using CPaintedWnd::DoPaint;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static bool RegisterPopupClass();
    LRESULT OnPaint();
    LRESULT OnMouseMove(int x, int y);
    LRESULT OnChoice(int x, int y);
    LRESULT OnTimer(UINT_PTR id);
    LRESULT OnScroll(int pos);
    void InvalidateItem(int index);
    void DrawItemArea(HDC dc, const RECT& client);
    void DrawItems(HDC dc, const RECT& client);
    RECT ItemStrip() const;

    int hotIndex = -1;
    LayeredAttributesProc layeredAttributesEntry = nullptr;
    bool isOpen = false;
    CSkComboBox* owner = nullptr;
    HBITMAP frameBitmap = nullptr;
    HBITMAP itemBackBitmap = nullptr;
    HFONT font = nullptr; // the combo box's, borrowed
    std::vector<std::string> itemTexts;
    PopupLayout layout;
    int ignoreMoves = 0;
    int alpha = 0;
    UINT_PTR fadeTimer = 0;
    CSkScrollBar scrollBar;
    int scrollOffset = 0;
};
