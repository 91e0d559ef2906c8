#pragma once
// Resource identifiers shared by the .rc script and the code.

// Dialog templates
#define IDD_MOVARA_DIALOG 102
#define IDD_SPLASH 106
#define IDD_MESSAGE 107

// Icons
#define IDR_MAINFRAME 128

// Strings
#define IDS_ABOUTBOX 101        // the system menu's About item

// The main window's artwork and its button icon pairs ("on" while hovered or pressed, "off" otherwise). 32 x 32 each;
// a button smaller than that shows the icon's middle.
#define IDB_SPLASH 173          // 386 x 157, the splash picture
#define IDB_WINDOW_BODY 185     // 825 x 550, the main window's body; pure green is cut out of its shape
#define IDB_PREVIEW_PLACEHOLDER 190 // 346 x 188, the preview's picture while no video shows
#define IDI_FOLDER_ON 133
#define IDI_FOLDER_OFF 134
#define IDI_REMOVE_ON 135
#define IDI_REMOVE_OFF 136
#define IDI_ADD_VIDEO_ON 137
#define IDI_ADD_VIDEO_OFF 138
#define IDI_REMOVE_ALL_ON 139
#define IDI_REMOVE_ALL_OFF 140
#define IDI_HELP_ON 141
#define IDI_HELP_OFF 142
#define IDI_STOP_CONVERTING_ON 145
#define IDI_STOP_CONVERTING_OFF 146
#define IDI_START_CONVERTING_ON 147
#define IDI_START_CONVERTING_OFF 148
#define IDI_MINIMIZE_ON 151
#define IDI_MINIMIZE_OFF 152
#define IDI_SHUTDOWN_ON 157     // the shut-down check box: ticked
#define IDI_SHUTDOWN_OFF 158    // not ticked
#define IDI_PLAY_PREVIEW_ON 188
#define IDI_PLAY_PREVIEW_OFF 189
#define IDI_STOP_PREVIEW_ON 190
#define IDI_STOP_PREVIEW_OFF 191

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

// The splash window's picture
#define IDC_SPLASH_PICTURE 1000

// Controls of the main window
#define IDC_CLOSE_BUTTON 1004
#define IDC_TASK_LIST 1011
#define IDC_ADD_VIDEO 1012
#define IDC_REMOVE_VIDEO 1013
#define IDC_REMOVE_ALL 1014
#define IDC_HELP_BUTTON 1016
#define IDC_MINIMIZE_BUTTON 1019
#define IDC_OUTPUT_DIRECTORY 1021
#define IDC_BROWSE_OUTPUT 1022
#define IDC_OUTPUT_DIRECTORY_LABEL 1034
#define IDC_VERSION_LABEL 1035
#define IDC_PROFILE_LABEL 1036
#define IDC_ASPECT_LABEL 1039
#define IDC_VIDEO_QUALITY_LABEL 1044
#define IDC_CHANNELS_LABEL 1045
#define IDC_RANGE_SLIDER 1047
#define IDC_START 1048
#define IDC_STOP 1049
#define IDC_OUTPUT_GROUP 1052
#define IDC_PLAYER 1053
#define IDC_PLAY_PREVIEW 1054
#define IDC_STOP_PREVIEW 1055
#define IDC_PREVIEW_PICTURE 1058
#define IDC_SHUTDOWN_CHECK 1059
#define IDC_PROFILE_LIST 1065
#define IDC_DESCRIPTION 1066
#define IDC_PRESET_LABEL 1071
#define IDC_PRESET 1072
#define IDC_VIDEO_TYPE_LABEL 1073
#define IDC_VIDEO_TYPE 1074
#define IDC_VIDEO_SIZE_LABEL 1075
#define IDC_VIDEO_SIZE 1076
#define IDC_FRAME_RATE_LABEL 1077
#define IDC_FRAME_RATE 1078
#define IDC_VIDEO_QUALITY 1079
#define IDC_ASPECT 1080
#define IDC_AUDIO_QUALITY_LABEL 1081
#define IDC_AUDIO_QUALITY 1082
#define IDC_CHANNELS 1083
#define IDC_SAMPLE_RATE_LABEL 1084
#define IDC_SAMPLE_RATE 1085
#define IDC_VOLUME_LABEL 1086
#define IDC_VOLUME 1087
#define IDC_DEVICE_TABS 1088
#define IDC_3GP_TYPE 1089
#define IDC_3GP_TYPE_LABEL 1090
