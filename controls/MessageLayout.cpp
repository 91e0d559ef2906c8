#include "controls/MessageLayout.h"

#include "resources/resource.h"

#include <algorithm>

namespace {

constexpr unsigned kButtonBits = 0x0F;
constexpr unsigned kKindBits = 0xF0;
constexpr unsigned kYesNoBit = 0x04;
constexpr unsigned kOkCancel = 0x01;
constexpr unsigned kYesNo = 0x04;
constexpr unsigned kIconHand = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconExclamation = 0x30;

constexpr int kMinWidth = 180;
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 20;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

} // namespace

MessageKind KindForType(unsigned type) {
    switch (type & kKindBits) {
    case kIconHand: return {"Error", IDI_MSG_ERROR};
    case kIconExclamation: return {"Warning", IDI_MSG_WARNING};
    case kIconQuestion: return {"Question", IDI_MSG_QUESTION};
    default: return {"Information", IDI_MSG_INFORMATION};
    }
}

MessageButtons ButtonsForType(unsigned type) {
    const unsigned buttons = type & kButtonBits;
    if (buttons == kYesNo)
        return {"Yes", "No"};
    if (buttons == kOkCancel)
        return {"OK", "Cancel"};
    return {"OK", nullptr};
}

int MessageResult(unsigned type, bool firstButton) {
    if (type & kYesNoBit)
        return firstButton ? kIdYes : kIdNo;
    return firstButton ? kIdOk : kIdCancel;
}

MessageLayout LayOutMessage(unsigned type, const std::vector<TextExtent>& lines, const PixelRect& area,
                            const PixelRect& screen) {
    MessageLayout out;
    int w = 0;
    int h = 0;
    for (const TextExtent& line : lines) {
        // The 10 pixels go with the widest line only: a line up to 10 pixels wider than one before it does not
        // widen the block, which the padding absorbs.
        if (line.cx > w)
            w = line.cx + 10;
        h += line.cy + 1;
    }
    out.textWidth = w + 2;
    out.textHeight = h + 2;
    // A text too big for the screen would push the box and its buttons off it: the box stays on the screen and the
    // text is cut instead.
    const int width = std::min(std::max(out.textWidth + 50, kMinWidth), std::max(screen.Width(), kMinWidth));
    const int height = std::min(out.textHeight + 100, std::max(screen.Height(), 100));
    int x = area.left + (area.Width() - width) / 2;
    int y = area.top + (area.Height() - height) / 2;
    out.window = {x, y, x + width, y + height};

    auto place = [](int px, int py, int pw, int ph) { return PixelRect{px, py, px + pw, py + ph}; };
    out.icon = place(4, (height - 32) / 2, 32, 32);
    out.text = place(36, (height - out.textHeight) / 2, out.textWidth, out.textHeight);
    out.close = place(width - 32, 5, 18, 18);
    out.caption = place(4, 5, 120, 16);
    const int buttonY = height - 40;
    if ((type & kButtonBits) != 0) {
        out.firstButton = place(width / 2 - 72, buttonY, kButtonWidth, kButtonHeight);
        out.secondButton = place(width / 2 + 2, buttonY, kButtonWidth, kButtonHeight);
    } else {
        out.firstButton = place(width / 2 - 35, buttonY, kButtonWidth, kButtonHeight);
    }
    return out;
}
