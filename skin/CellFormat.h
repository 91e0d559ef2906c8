#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

// What the skinned list control and its parent exchange. The list holds no data: for every cell it resets one
// CellFormat record, fills in the cell's coordinates and state, and sends kCellFormatMessage to its parent, which
// fills in text and look. The parent answers clicks and header right clicks through the two hit records.

// Messages to the list's parent, sent with wParam = the list's window handle.
inline constexpr UINT kCellFormatMessage = 0x0BBB;       // lParam: CellFormat*, fill in the cell
inline constexpr UINT kCellClickMessage = 0x0BBD;        // lParam: CellHit*, a click hit a cell
inline constexpr UINT kHeaderRightClickMessage = 0x0BBE; // lParam: HeaderHit*, right click on the column header

// Stands for "the system colour this field defaults to" in any colour field of a CellFormat.
inline constexpr COLORREF kDefaultColour = 0xFF000000;

// DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS: one line, centred vertically, cut with "...".
inline constexpr UINT kDefaultTextFormat = 0x8024;

struct CellFormat {
    std::string text;
    bool keepUnselectedLook = false; // draw as if not selected
    bool bold = false;
    bool italic = false;
    UINT textFormat = kDefaultTextFormat; // DrawText flags; the list adds the column's alignment
    int imageIndex = -1;                  // in imageList, -1 for none
    HIMAGELIST imageList = nullptr;       // the list's small image list
    bool imageUnselectedBackground = true;
    bool centreImage = false;
    int imageSelectedStyle = 4; // image list draw style for a selected cell: 4 blends 50 % with the selection
    int checkState = 0;         // DrawFrameControl state bits; 0x400 (DFCS_CHECKED) draws it checked
    bool hasCheckBox = false;
    bool centreCheckBox = false;
    bool checkUnselectedBackground = true;
    int progressMax = -1; // a progress bar shows when above 0
    int progressPos = 0;
    COLORREF progressColour = kDefaultColour;             // kept for the parent; the bar's own colours are fixed
    COLORREF progressTextColour = kDefaultColour;         // system highlight text
    int progressInset = 10;                               // not 0: the bar sits 2 pixels further in
    COLORREF textColour = kDefaultColour;                 // system window text
    COLORREF backColour = kDefaultColour;                 // system window
    COLORREF hotTextColour = kDefaultColour;              // system hot-tracking colour
    COLORREF selectedTextColour = kDefaultColour;         // highlight text with the focus, else window text
    COLORREF selectedBackColour = kDefaultColour;         // system highlight, with the focus
    COLORREF selectedBackColourInactive = kDefaultColour; // system button face, without it
    int item = 0;
    int subItem = 0;
    bool selected = false; // the cell shows as selected
    bool hot = false;      // the item is the list's hot item

    // Back to the reset values; the cell's coordinates and state are set by whoever asks next.
    void Reset() { *this = CellFormat(); }
};

// kCellClickMessage: which cell a click hit and whether it lay on the cell's image or check box.
struct CellHit {
    int item = -1;
    int subItem = -1;
    bool onImage = false;
    bool onCheckBox = false;
};

// kHeaderRightClickMessage: the column under the pointer (-1 for none) and the pointer in screen coordinates.
struct HeaderHit {
    int column = -1;
    int x = 0;
    int y = 0;
};
