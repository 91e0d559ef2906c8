#include "controls/SkTabBar.h"

#include "controls/TabBarLogic.h"

namespace {

constexpr COLORREF kKeyColour = RGB(0, 255, 0);

} // namespace

bool CSkTabBar::SubclassWindow(HWND window) {
    if (!CSkButton::SubclassWindow(window))
        return false;
    Invalidate(true);
    UseParentBackground(true);
    return true;
}

bool CSkTabBar::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkTabBar::AddTab(int index, int bitmapId) {
    if (index < 0 || index >= kMaxTabs)
        return;
    tabBitmaps[index] = bitmapId;
    ++tabCount;
}

void CSkTabBar::SelectTab(int index) {
    if (index < 0 || index > tabCount - 1)
        return;
    currentTab = index;
    AssignBitmaps(tabBitmaps[index], kKeyColour, tabBitmaps[index], kKeyColour);
}

LRESULT CSkTabBar::OnPress(int x) {
    const RECT client = GetClientRect();
    const TabPress press = PressTab(client.right - client.left, tabCount, currentTab, x - client.left);
    if (!press.notify)
        return 0;
    SelectTab(press.tab);
    // Reported even when the press fell on the pixels left over at the right end and selected nothing.
    HWND window = GetSafeHwnd();
    ::SendMessageA(GetParent(window), kTabChangedMessage, reinterpret_cast<WPARAM>(window), 0);
    return 0;
}

LRESULT CSkTabBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    // Not passed on: the bar never shows a pressed state and sends no click.
    case WM_LBUTTONDOWN: return OnPress(static_cast<short>(LOWORD(lParam)));
    default: return CSkButton::WindowProc(message, wParam, lParam);
    }
}
