#include "controls/TabBarLogic.h"

TabPress PressTab(int barWidth, int tabCount, int currentTab, int x) {
    TabPress out;
    if (tabCount <= 0)
        return out;
    const int tabWidth = barWidth / tabCount;
    // A bar narrower than its tab count has no tab a pixel wide.
    if (tabWidth <= 0 || x < 0)
        return out;
    const int t = x / tabWidth;
    if (t == currentTab)
        return out;
    out.notify = true;
    out.tab = t;
    return out;
}
