#pragma once
#include "framework/Dialog.h"

// The main window: one borderless dialog of fixed size at the top-left corner of the screen.
class CConverterDlg : public CDialog {
public:
    CConverterDlg();

    static constexpr int windowWidth = 825;
    static constexpr int windowHeight = 550;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCommand(int id, int code, HWND control);
};
