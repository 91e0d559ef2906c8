#pragma once
// Helpers of the controls tests: a gallery dialog holding every control, and the shared canvases, pumps and skin.

#include "controls/RangeSlider.h"
#include "controls/SkComboBox.h"
#include "controls/SkEditField.h"
#include "controls/SkGroupBox.h"
#include "controls/SkIconStatic.h"
#include "controls/SkLabel.h"
#include "controls/SkListBox.h"
#include "controls/SkTabBar.h"

#include "framework/Dialog.h"
#include "framework/Gdi.h"

#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every skinned control of this folder in one dialog, over the skin's background. Records what its controls tell it.
class GalleryDialog : public CDialog {
public:
    GalleryDialog();

    CRangeSlider slider;
    CSkComboBox combo;
    CSkComboBox shortCombo;
    CSkListBox list;
    CSkLabel label;
    CSkLabel multiLabel;
    CSkLabel centreLabel;
    CSkTabBar tabs;
    CSkEditField edit;
    CSkGroupBox group;
    CSkIconStatic icon;

    std::vector<Notice> notices;
    // A handler for RANGE_CHANGED that reads the selection back, as the main window does.
    std::vector<std::pair<double, double>> selectionsSeen;
    int Count(UINT message, WORD code = 0) const;

    static constexpr int kWidth = 760;
    static constexpr int kHeight = 360;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
