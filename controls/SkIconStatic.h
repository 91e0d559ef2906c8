#pragma once

#include "framework/Wnd.h"

#include <windows.h>

#include <commctrl.h>

// One 32 x 32 icon with transparent surroundings over the parent's artwork. Attached to an icon static of a
// template, whose icon (if any) becomes the one shown; SetIcon replaces it before the owner shows the window.
class CSkIconStatic : public CWnd {
public:
    CSkIconStatic();
    ~CSkIconStatic() override;

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    // The image list copies the icon: the caller keeps its own.
    void SetIcon(HICON icon);
    int GetImageCount() const;

    void DoPaint(HDC dc) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPaint();

    HIMAGELIST images = nullptr;
};
