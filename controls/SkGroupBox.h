#pragma once

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <string>

// A group frame with a bold caption drawn straight over the parent's artwork: a two-pixel light frame whose top
// edge runs through the middle of the caption and is interrupted behind it. Attached to a group-box button of a
// template; it takes the caption over and clears the window text so that the platform draws none of its own.
class CSkGroupBox : public CPaintedWnd {
public:
    CSkGroupBox();

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    const std::string& GetCaption() const { return caption; }

    // The frame and caption into dc at client coordinates.
    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LONG style = 0;
    std::string caption;
    // The skin's frame colours are copied like every skinned control's group; the frame's own look is fixed.
    COLORREF faceColor = 0;
};
