#pragma once

// What a press on the device tab bar does: the tab under x on a bar of barWidth pixels with tabCount equal tabs.
struct TabPress {
    bool notify = false; // tell the parent (0x0BC0)
    int tab = -1;        // the tab to select; may be tabCount or more for the pixels left over at the right end,
                         // which selects nothing but is still reported
};
TabPress PressTab(int barWidth, int tabCount, int currentTab, int x);
