#pragma once

#include "framework/Wnd.h"

// A window that paints itself, on the screen and into a memory DC alike: WM_PAINT and WM_PRINTCLIENT both go to
// DoPaint with the client rectangle, and WM_ERASEBKGND is answered without erasing (whatever DoPaint leaves alone
// keeps the parent's pixels). A control whose screen paint needs more (a memory buffer, a partial copy) handles
// WM_PAINT itself and still paints through DoPaint.
class CPaintedWnd : public CWnd {
public:
    // Paints the whole client area into dc (client coordinates).
    void DoPaint(HDC dc) { DoPaint(dc, GetClientRect()); }
    virtual void DoPaint(HDC dc, const RECT& client) = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
