#include "controls/MessageLayout.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const PixelRect kScreen = {0, 0, 1280, 1024};

TEST(MessageLayout, AShortLineGetsTheMinimumWidth) {
    const MessageLayout m = LayOutMessage(0, {{60, 12}}, kScreen, kScreen);
    EXPECT_EQ(m.window.Width(), 180);
    EXPECT_EQ(m.window.Height(), 12 + 103);
    EXPECT_EQ(m.textWidth, 72);
    EXPECT_EQ(m.textHeight, 15);
}

TEST(MessageLayout, ALongLineSetsTheWidth) {
    const MessageLayout m = LayOutMessage(0, {{400, 12}}, kScreen, kScreen);
    EXPECT_EQ(m.window.Width(), 462);
    // Later lines up to 10 pixels wider than the widest so far do not widen the block.
    EXPECT_EQ(LayOutMessage(0, {{400, 12}, {405, 12}}, kScreen, kScreen).textWidth, 412);
    EXPECT_EQ(LayOutMessage(0, {{400, 12}, {415, 12}}, kScreen, kScreen).textWidth, 427);
}

TEST(MessageLayout, ChildrenAndButtonsArePlacedFromTheSize) {
    const MessageLayout one = LayOutMessage(0, {{400, 12}}, kScreen, kScreen);
    const int w = 462;
    const int h = 115;
    EXPECT_EQ(one.icon, (PixelRect{4, (h - 32) / 2, 36, (h - 32) / 2 + 32}));
    EXPECT_EQ(one.text, (PixelRect{36, (h - 15) / 2, 36 + 412, (h - 15) / 2 + 15}));
    EXPECT_EQ(one.close, (PixelRect{w - 32, 5, w - 14, 23}));
    EXPECT_EQ(one.caption, (PixelRect{4, 5, 124, 21}));
    EXPECT_EQ(one.firstButton, (PixelRect{w / 2 - 35, h - 40, w / 2 + 35, h - 20}));
    EXPECT_TRUE(one.secondButton.IsEmpty());

    const MessageLayout two = LayOutMessage(0x24, {{400, 12}}, kScreen, kScreen);
    EXPECT_EQ(two.firstButton.left, w / 2 - 72);
    EXPECT_EQ(two.secondButton.left, w / 2 + 2);
    EXPECT_EQ(two.secondButton.Width(), 70);
}

TEST(MessageLayout, CentresOverTheAreaAndStaysOnTheScreen) {
    const PixelRect parent = {100, 50, 925, 600};
    const MessageLayout m = LayOutMessage(0, {{60, 12}}, parent, kScreen);
    EXPECT_EQ(m.window.left, 100 + (825 - 180) / 2);
    EXPECT_EQ(m.window.top, 50 + (550 - 115) / 2);
    const MessageLayout s = LayOutMessage(0, {{60, 12}}, kScreen, kScreen);
    EXPECT_EQ(s.window.left, (1280 - 180) / 2);
    EXPECT_EQ(s.window.top, (1024 - 115) / 2);

    // Twenty lines make a tall box; one very long word a box no wider than the screen.
    const std::vector<TextExtent> twenty(20, TextExtent{100, 12});
    EXPECT_EQ(LayOutMessage(0, twenty, kScreen, kScreen).window.Height(), 20 * 13 + 2 + 100);
    const MessageLayout wide = LayOutMessage(0, {{5000, 12}}, kScreen, kScreen);
    EXPECT_EQ(wide.window.Width(), 1280);
    EXPECT_EQ(wide.window.left, 0);
    EXPECT_EQ(wide.close.left, 1280 - 32);
    const std::vector<TextExtent> many(200, TextExtent{100, 12});
    EXPECT_EQ(LayOutMessage(0, many, kScreen, kScreen).window.Height(), 1024);
    EXPECT_EQ(LayOutMessage(0, {}, kScreen, kScreen).window.Width(), 180);
}

TEST(MessageKinds, OnlyTheIconAndButtonBitsThatTheBoxKnowsCount) {
    // Retry/cancel-like button values show OK alone; the error icon with them keeps its caption.
    EXPECT_EQ(ButtonsForType(0x02).second, nullptr);
    EXPECT_STREQ(KindForType(0x13).caption, "Error");
    EXPECT_EQ(ButtonsForType(0x13).second, nullptr);
    EXPECT_STREQ(ButtonsForType(0x41).second, "Cancel");
}

TEST(MessageKinds, ResultsFollowTheYesNoBit) {
    EXPECT_EQ(MessageResult(0x24, true), 6);
    EXPECT_EQ(MessageResult(0x24, false), 7);
    EXPECT_EQ(MessageResult(0x00, true), 1);
    EXPECT_EQ(MessageResult(0x01, false), 2);
    EXPECT_EQ(MessageResult(0x05, false), 7); // retry/cancel-like values with the 4 bit count as Yes/No
}

} // namespace
