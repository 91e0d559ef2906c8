#pragma once

#include "skin/SkButton.h"

// The message the tab bar sends its parent when a press changed the current tab: wParam the bar's window.
inline constexpr UINT kTabChangedMessage = WM_USER + 0x7C0;

// A row of equally wide tabs drawn as one picture: for every tab a bitmap of the whole bar with that tab
// highlighted. A press selects the tab under the pointer and tells the parent, which reads GetSelectedTab.
class CSkTabBar : public CSkButton {
public:
    static constexpr int kMaxTabs = 256;

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);

    void AddTab(int index, int bitmapId);
    // Shows tab index; an index outside the added tabs changes nothing. No notification.
    void SelectTab(int index);
    int GetSelectedTab() const { return currentTab; }
    int GetTabCount() const { return tabCount; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPress(int x);

    int currentTab = -1;
    int tabCount = 0;
    int tabBitmaps[kMaxTabs] = {};
};
