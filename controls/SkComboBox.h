#pragma once

#include "controls/SkComboWindow.h"

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <string>

// A drop-down-list combo box drawn from the skin. The platform's combo box keeps the items, the selection and the
// font; this class paints the face and takes mouse presses and keys before the platform's box sees them, showing its
// own popup list (CSkComboWindow) instead of the platform's. A user's choice posts CBN_SELCHANGE to the parent;
// SelectItem, the owner's way of setting a value, posts nothing.
class CSkComboBox : public CPaintedWnd {
public:
    CSkComboBox();
    ~CSkComboBox() override;

    void SelectItem(int index);
    // A user's choice: posts CBN_SELCHANGE (also for the item already selected), then SelectItem.
    void PickItem(int index);
    void Open();
    bool IsOpen() const { return dropDown.IsOpen(); }
    CSkComboWindow& DropDown() { return dropDown; }

    int GetCurSel() const;
    int GetCount() const;
    std::string GetItemText(int index) const;
    HFONT GetFont() const;

    COLORREF GetLightColor() const { return lightColor; }
    COLORREF GetShadowColor() const { return shadowColor; }
    COLORREF GetHotTextColor() const { return hotTextColor; }
    COLORREF GetTextColor() const { return textColor; }

    // The face into dc at client coordinates.
    void PaintFace(HDC dc);
    void DoPaint(HDC dc, const RECT&) override { PaintFace(dc); }
    using CPaintedWnd::DoPaint;

    bool PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The input table: true when the message is swallowed.
    bool HandleInput(UINT message, WPARAM wParam);
    bool HandleKey(UINT key);
    LRESULT OnPaint();
    LRESULT OnKillFocus(HWND newFocus);
    bool BelongsToPopup(HWND window) const;

    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF hotTextColor = 0;
    COLORREF textColor = 0;
    HBITMAP faceBitmap = nullptr;
    HBITMAP listBackBitmap = nullptr;
    HBITMAP arrowBitmap = nullptr;
    HBITMAP listFrameBitmap = nullptr;
    CSkComboWindow dropDown;
};
