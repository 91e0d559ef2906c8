#pragma once
// Helpers of the controls tests: the built-in skin, a gallery dialog holding every control, message pumping through
// the pre-translation the program's loops do, and pixel canvases.

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

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Loads the skin once per process (the built-in look unless the machine's registry names another).
void EnsureSkinLoaded();

// Pumps this thread's messages for about the given time, each through CWnd's pre-translation first and then the
// dialog's keyboard handling, as the program's loops do.
void PumpFor(DWORD milliseconds, HWND dialog = nullptr);

// A 32-bit top-down DIB in a memory DC, whose pixels can be read back exactly.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 0, 255));
    HDC hdc() const { return memory.hdc(); }
    COLORREF Pixel(int x, int y) const;
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;
    // Pixels in the rectangle that differ from colour.
    int CountOther(COLORREF colour, int left, int top, int right, int bottom) const;
    int width() const { return w; }
    int height() const { return h; }

private:
    int w;
    int h;
    unsigned char* bits = nullptr;
    MemoryDC memory;
    OwnedBitmap bitmap;
    SelectGuard selection;
};

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

// The point's lParam.
inline LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// The path of a picture saved into the build folder (tests run in build/tests/controls).
std::string BuildFolderPath(const char* name);
