#pragma once
// The controls tests' own dialog (ids well away from the program's).

#define IDD_CONTROLS_GALLERY 3100
#define IDC_G_SLIDER 3101
#define IDC_G_COMBO 3102
#define IDC_G_LIST 3103
#define IDC_G_LABEL 3104
#define IDC_G_TABS 3106
#define IDC_G_EDIT 3107
#define IDC_G_COMBO_SHORT 3110
