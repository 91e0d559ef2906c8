#pragma once

#include "controls/ItemListLogic.h"
#include "framework/PixelGeometry.h"

#include <string>
#include <vector>

// The message box apart from its window: what the type bits choose (kind caption, icon, buttons), the size the text
// asks for, where the box and its children go, and the result codes. Type bits are those of the system's message
// box: the low four select the buttons, the next four the kind.

struct MessageKind {
    const char* caption = "";
    int iconId = 0;
};
MessageKind KindForType(unsigned type);

struct MessageButtons {
    const char* first = "OK";
    const char* second = nullptr; // null: the second button is hidden
};
MessageButtons ButtonsForType(unsigned type);

// The result of the first button (OK/Yes) or of any cancel (second button, close button, Escape).
int MessageResult(unsigned type, bool firstButton);

struct MessageLayout {
    int textWidth = 0;
    int textHeight = 0;
    PixelRect window;       // screen coordinates
    PixelRect icon;         // client coordinates from here on
    PixelRect text;
    PixelRect close;
    PixelRect caption;
    PixelRect firstButton;
    PixelRect secondButton; // empty when type has one button
};

// lines: the pixel size of each line of the text. area: the parent's client area in screen coordinates when the
// parent is showing, otherwise the screen; screen: the screen's size, which the box never exceeds.
MessageLayout LayOutMessage(unsigned type, const std::vector<TextExtent>& lines, const PixelRect& area,
                            const PixelRect& screen);
