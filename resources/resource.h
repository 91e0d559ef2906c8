#pragma once
// Resource identifiers shared by the .rc script and the code.

// Dialog templates
#define IDD_MOVARA_DIALOG 102
#define IDD_SPLASH 106
#define IDD_MESSAGE 107

// Icons
#define IDR_MAINFRAME 128

// Controls of the main window
#define IDC_CLOSE_BUTTON 1004
