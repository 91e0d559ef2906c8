#pragma once

#include "controls/LabelText.h"

#include "framework/PaintedWnd.h"

#include <windows.h>

#include <string>

// A transparent text label: its own copy of the text, in bold Tahoma 12, drawn straight over whatever the parent
// painted behind it, one line per line feed. The text changes through the platform's set-text call; the label
// keeps it itself, and the parent repaints behind the label first so that no trace of an old text stays.
class CSkLabel : public CPaintedWnd {
public:
    static constexpr int kFontHeight = 12;

    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);

    int GetLineCount() const { return text.LineCount(); }
    std::string GetLine(int i) const { return text.Line(i); }
    const std::string& GetText() const { return text.Text(); }
    void InvalidateBehind() const;

    // The label's lines into dc at client coordinates, as painting draws them.
    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnSetText(LPARAM newText);

    LONG style = 0;
    LabelText text;
};
