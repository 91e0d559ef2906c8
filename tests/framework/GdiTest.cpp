// UTF-8 text measured and converted as the wide functions do.
#include "framework/Gdi.h"
#include "framework/TextDraw.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

// The program's texts are UTF-8, the code page its manifest asks for (this test program's too). GDI's "A" functions
// would convert them with the font's charset code page and measure "VidÃ©o"; the helpers measure exactly what the wide
// functions do with the same characters, up to four-byte ones, and a broken character is marked, never taken with its
// neighbours. The controls' tests check the drawn text.
TEST(TextDrawTest, MeasuresAndConvertsUtf8AsTheWideFunctionsDo) {
    const char* utf8 = "Vid\xC3\xA9o \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
    const wchar_t* wide = L"Vid\u00E9o \u65E5\u672C \U0001F600";
    Canvas canvas(160, 20);
    OwnedFont font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    SelectGuard selection(canvas.hdc(), font.get());
    SIZE expected = {};
    GetTextExtentPoint32W(canvas.hdc(), wide, static_cast<int>(wcslen(wide)), &expected);
    const SIZE measured = TextExtentUtf8(canvas.hdc(), utf8);
    EXPECT_EQ(measured.cx, expected.cx);
    EXPECT_EQ(measured.cy, expected.cy);
    RECT calculated = {0, 0, 0, 0};
    DrawTextUtf8(canvas.hdc(), utf8, &calculated, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    EXPECT_EQ(calculated.right, expected.cx);

    EXPECT_EQ(WidenText(utf8), wide);
    EXPECT_EQ(NarrowText(wide), utf8);
    const std::wstring broken = WidenText("a\xE6\x97z");
    EXPECT_TRUE(broken.front() == L'a' && broken.back() == L'z' && broken.find(L'\uFFFD') != std::wstring::npos);
}

} // namespace
