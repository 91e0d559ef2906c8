#pragma once

#include "controls/SkIconStatic.h"
#include "controls/SkLabel.h"

#include "skin/SkButton.h"

#include "framework/Dialog.h"

#include <string>

// The program's skinned message box: a borderless box with the skin background, a kind caption, an icon, the text
// and one or two buttons, sized to the text. type takes the system message box's bits for the icon and the
// buttons; the result codes are the system's too (IDOK/IDCANCEL, or IDYES/IDNO for Yes/No boxes).
class CMessageDlg : public CDialog {
public:
    CMessageDlg(const char* text, const char* caption, unsigned type, HWND parent = nullptr);

    int GetResult() const { return result; }
    // What initialisation chose, for whoever looks at a box that is showing.
    int GetIconId() const { return iconId; }
    const CSkLabel& GetCaptionLabel() const { return captionLabel; }
    const CSkLabel& GetTextLabel() const { return textLabel; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void LayOut();

    unsigned type = 0;
    std::string text;
    std::string caption;
    int result = IDCANCEL;
    int iconId = 0;
    CSkLabel captionLabel;
    CSkLabel textLabel;
    CSkIconStatic icon;
    CSkButton firstButton;
    CSkButton secondButton;
    CSkButton closeButton;
};

// Shows text in the skinned message box and returns how it was ended. The box is centred over parent while that
// shows, otherwise over the screen; without a parent it is owned by the thread's active window, or by the
// application's main window when the thread has none (Movara in the background).
int ShowMessage(const char* text, const char* caption, unsigned type, HWND parent = nullptr);
