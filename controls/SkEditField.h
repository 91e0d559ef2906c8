#pragma once

#include "controls/EditText.h"

#include "framework/PaintedWnd.h"

#include <windows.h>

// A single-line text field drawn over the skin's stretched edit bitmap; it only shows the text its owner sets (the
// output folder). Attached to a push button of the template, which becomes owner-drawn.
class CSkEditField : public CPaintedWnd {
public:
    CSkEditField();

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);

    void SetText(const char* text);
    // Copies the text when it fits with its terminator into size bytes; otherwise buffer is left unchanged.
    bool GetText(char* buffer, int size) const;
    void Enable(bool flag);
    const EditText& Text() const { return text; }

    // The field into dc at client coordinates.
    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:

    COLORREF textColor = 0;
    HBITMAP backBitmap = nullptr;
    EditText text;
};
