#pragma once

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <commctrl.h>

// One 32 x 32 icon with transparent surroundings over the parent's artwork. Attached to an icon static of a
// template, whose icon (if any) becomes the one shown; SetIcon replaces it before the owner shows the window.
class CSkIconStatic : public CPaintedWnd {
public:
    CSkIconStatic();
    ~CSkIconStatic() override;

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    // The image list copies the icon: the caller keeps its own.
    void SetIcon(HICON icon);
    int GetImageCount() const;

    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:

    HIMAGELIST images = nullptr;
};
