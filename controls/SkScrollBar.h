#pragma once

#include "framework/Wnd.h"

#include <windows.h>

// The message a narrow scroll bar posts to its parent with its new position in wParam and its own window in lParam.
inline constexpr UINT kScrollPosMessage = WM_USER + 0x3FF;

// A narrow vertical scroll bar without arrow buttons: a sunken track over a tiled bitmap and a raised thumb with a
// six-line grip. It lives inside the combo box's popup list and the list box, which set its range and page, move it
// and scroll when it posts kScrollPosMessage. An owner-drawn button underneath; everything is painted while erasing,
// so every repaint asks for erasing.
class CSkScrollBar : public CWnd {
public:
    void SetLightColor(COLORREF colour) { lightColor = colour; }
    void SetDarkColor(COLORREF colour) { darkColor = colour; }
    void SetBackBitmap(HBITMAP bitmap) { backBitmap = bitmap; }
    // Whether a press takes the keyboard focus. The combo box's popup keeps the focus on the combo box, whose loss
    // of focus closes the popup.
    void SetTakesFocus(bool flag) { takesFocus = flag; }

    bool Create(int x, int y, int width, int height, int range, int page, HWND parent);
    void Place(int x, int y, int width, int height, int range, int page);
    // Clamped to 0 .. range - page; no notification, no repaint.
    void SetPos(int n);
    // SetPos, then posts kScrollPosMessage (also when nothing moved) and repaints.
    void SetPosNotify(int n);
    int GetPos() const { return pos; }
    int GetRange() const { return range; }
    int GetPage() const { return page; }
    bool IsDragging() const { return dragging; }

    // The whole bar at the window's current size.
    void Draw(HDC dc) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    LRESULT OnPaint();
    LRESULT OnLButtonDown(int x, int y);
    LRESULT OnMouseMove(int x, int y);
    LRESULT OnLButtonUp();
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnCaptureChanged();

    COLORREF lightColor = RGB(255, 255, 255);
    COLORREF darkColor = 0;
    HBITMAP backBitmap = nullptr;
    int originX = 0;
    int originY = 0;
    int pos = 0;
    int range = 0;
    int page = 0;
    bool dragging = false;
    bool takesFocus = true;
    POINT lastPoint = {};
};
