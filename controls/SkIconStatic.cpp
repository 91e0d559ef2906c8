#include "controls/SkIconStatic.h"

#include "framework/Gdi.h"

namespace {

constexpr int kIconSize = 32;

} // namespace

CSkIconStatic::CSkIconStatic() : images(ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, 0, 1)) {}

CSkIconStatic::~CSkIconStatic() {
    if (images)
        ImageList_Destroy(images);
}

bool CSkIconStatic::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    HICON icon = reinterpret_cast<HICON>(SendMessage(STM_GETICON));
    if (icon && images)
        ImageList_AddIcon(images, icon);
    return true;
}

bool CSkIconStatic::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkIconStatic::SetIcon(HICON icon) {
    if (!images)
        return;
    if (ImageList_GetImageCount(images) > 0)
        ImageList_Remove(images, 0);
    if (icon)
        ImageList_AddIcon(images, icon);
}

int CSkIconStatic::GetImageCount() const {
    return images ? ImageList_GetImageCount(images) : 0;
}

void CSkIconStatic::DoPaint(HDC dc, const RECT& client) {
    if (GetImageCount() == 0)
        return;
    const RECT& c = client;
    SavedDC saved(dc);
    IntersectClipRect(dc, c.left, c.top, c.right, c.bottom);
    ImageList_DrawEx(images, 0, dc, 0, 0, kIconSize, kIconSize, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
}

LRESULT CSkIconStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
