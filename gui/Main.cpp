#include <windows.h>
#include "resources/resource.h"
static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM) {
  if (m == WM_INITDIALOG) { SetWindowPos(h, nullptr, 0, 0, 825, 550, SWP_NOZORDER); return TRUE; }
  if (m == WM_COMMAND && (LOWORD(w) == IDCANCEL || LOWORD(w) == IDC_CLOSE_BUTTON)) { EndDialog(h, 2); return TRUE; }
  return FALSE;
}
int WINAPI WinMain(HINSTANCE i, HINSTANCE, LPSTR, int) { return (int)DialogBoxParamA(i, MAKEINTRESOURCEA(102), nullptr, Proc, 0); }
