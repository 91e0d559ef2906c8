#include "framework/PaintedWnd.h"

#include "framework/Gdi.h"

LRESULT CPaintedWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PaintDC paint(GetSafeHwnd());
        DoPaint(paint.hdc(), GetClientRect());
        return 0;
    }
    case WM_PRINTCLIENT: DoPaint(reinterpret_cast<HDC>(wParam), GetClientRect()); return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}
