#pragma once
// Resource identifiers shared by the .rc script and the code.

// Dialog templates
#define IDD_MOVARA_DIALOG 102
#define IDD_SPLASH 106
#define IDD_MESSAGE 107

// Icons
#define IDR_MAINFRAME 128

// Built-in skin bitmaps, used where the skin description names no file of its own.
#define IDB_HEADER_SPAN 159     // 1 x 16, column header fill
#define IDB_HEADER_START 160    // 2 x 16, column header left cap
#define IDB_HEADER_END 161      // 2 x 16, column header right cap
#define IDB_HSCROLL_THUMB 162   // 67 x 16
#define IDB_HSCROLL_RIGHT 163   // 16 x 16
#define IDB_HSCROLL_SPAN 164    // 1 x 16, track
#define IDB_HSCROLL_LEFT 165    // 16 x 16
#define IDB_HSCROLL_CORNER 166  // 16 x 16, the square where the two bars meet (spare)
#define IDB_VSCROLL_UP 167      // 16 x 16
#define IDB_VSCROLL_SPAN 168    // 16 x 1, track
#define IDB_VSCROLL_THUMB 169   // 16 x 67
#define IDB_VSCROLL_DOWN 170    // 16 x 16
#define IDB_VSCROLL_TOP 171     // 16 x 16, a square above the up arrow (spare)
#define IDB_VSCROLL_BOTTOM 172  // 16 x 16, below the down arrow
#define IDB_SKIN_TITLE 175      // 372 x 25, title strip
#define IDB_SKIN_BACKGROUND 176 // 372 x 279, window body and list box item area
#define IDB_FIELD_FACE 177      // 1 x 18, combo box and edit field face
#define IDB_FIELD_FORE 178      // 54 x 12
#define IDB_COMBO_ARROW 179     // 16 x 16
#define IDB_LIST_TILE 180       // 113 x 13, drop-down list and list box tile

// The skinned controls and the message box: built-in artwork drawn by draw_artwork.py, not part of the skin.
#define IDI_MSG_WARNING 129     // 32 x 32 message kind icons
#define IDI_MSG_QUESTION 130
#define IDI_MSG_ERROR 131
#define IDI_MSG_INFORMATION 132
#define IDI_CLOSE_ON 149        // the close button's pair
#define IDI_CLOSE_OFF 150
#define IDB_SLIDER_CHANNEL 198  // 6 x 11, stretched over the range slider's width
#define IDB_SLIDER_BEGIN 199    // 13 x 17, begin thumb
#define IDB_SLIDER_END 200      // 13 x 17, end thumb
#define IDB_SLIDER_BAND 201     // 3 x 7, stretched between the thumbs
#define IDB_TAB_IPOD 202        // 436 x 15 each: the whole tab bar with one tab highlighted
#define IDB_TAB_PSP 203
#define IDB_TAB_3GP 204
#define IDB_TAB_XBOX 205
#define IDB_TAB_POCKETPC 206
#define IDB_TAB_PMP 207
// Controls of the message box
#define IDC_MSG_ICON 1001
#define IDC_MSG_TEXT 1002
#define IDC_MSG_CAPTION 1003
#define IDC_MSG_CLOSE 1004

// Controls of the main window
#define IDC_CLOSE_BUTTON 1004
