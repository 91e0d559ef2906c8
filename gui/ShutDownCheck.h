#pragma once

#include "skin/SkButton.h"

// The "shut down when finished" check box: a skinned check button whose caption is one line of plain Tahoma,
// left-aligned beside the box. The skinned buttons' bold lettering would wrap this long caption onto a second
// line that a 15-pixel high control cannot show.
class CShutDownCheck : public CSkButton {
protected:
    void PaintCaption(HDC dc, const std::string& caption, RECT captionRect) override;
};
