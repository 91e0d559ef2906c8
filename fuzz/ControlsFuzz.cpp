// The controls' handling of texts from outside (file names, messages): a label's lines and the
// message box's layout of them.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

#include <algorithm>

#include "controls/LabelText.h"
#include "controls/MessageLayout.h"

void Fuzz_label_lines(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size); // up to its first NUL
    LabelText label;
    label.Set(text.c_str());
    FUZZ_CHECK(label.Text().size() <= LabelText::kMaxText);
    const auto feeds = std::count(label.Text().begin(), label.Text().end(), '\n');
    FUZZ_CHECK(label.LineCount() == feeds + 1);
    for (int i = -1; i <= label.LineCount(); ++i) {
        FUZZ_CHECK(label.Line(i).size() <= LabelText::kMaxLine);
    }
}

// The type bits, the screen, the parent's area, then the measured lines: sizes that text
// measuring can give (0 to 32767 pixels) and rectangles on a screen of 320 to 16384 pixels.
// However long the text, the box is no bigger than the screen.
void Fuzz_message_layout(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto type = input.Number<unsigned>();
    PixelRect screen{0, 0, 0, 0};
    screen.right = input.InRange(320, 16384);
    screen.bottom = input.InRange(320, 16384);
    PixelRect area{input.InRange(-16384, 16384), input.InRange(-16384, 16384), 0, 0};
    area.right = area.left + input.InRange(0, 16384);
    area.bottom = area.top + input.InRange(0, 16384);
    std::vector<TextExtent> lines;
    while (!input.Empty() && lines.size() < 200) {
        lines.push_back({input.InRange(0, 32767), input.InRange(0, 32767)});
    }
    KindForType(type);
    ButtonsForType(type);
    MessageResult(type, true);
    MessageResult(type, false);
    const MessageLayout layout = LayOutMessage(type, lines, area, screen);
    FUZZ_CHECK(layout.window.Width() <= screen.Width() && layout.window.Height() <= screen.Height());
}
