#pragma once
// Resources of the skin tests, apart from the program's own (resources/movara.rc is compiled in as well).

#define IDI_TEST_RED 9001
#define IDI_TEST_BLUE 9002
#define IDI_PLAY_ON 9003
#define IDI_PLAY_OFF 9004
#define IDI_STOP_ON 9005
#define IDI_STOP_OFF 9006
#define IDI_ADD_ON 9007
#define IDI_ADD_OFF 9008
#define IDI_TICK_ON 9009
#define IDI_TICK_OFF 9010

#define IDB_TEST_RED_KEYED 9101
#define IDB_TEST_BLUE_KEYED 9102
#define IDB_FADE_PICTURE 9103

#define IDD_BUTTON_TEST 9201
#define IDC_FIRST 9211
#define IDC_SECOND 9212
#define IDC_THIRD 9213

#define IDD_SKIN_GALLERY 9202
#define IDC_GALLERY_PICTURE 9220
#define IDC_GALLERY_NORMAL 9221 // the first of nine buttons, numbered in order
