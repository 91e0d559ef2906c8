// The GDI helpers: selections put back, DC state restored, and UTF-8 text drawn as the wide functions draw it.
#include "framework/Gdi.h"
#include "framework/TextDraw.h"
#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(SelectGuardTest, NestedAndMovedGuardsPutThePreviousObjectBackOnceAndSavedDCRestoresTheState) {
    Canvas canvas(64, 64);
    HDC dc = canvas.hdc();
    OwnedBrush red(CreateSolidBrush(kRed));
    OwnedBrush blue(CreateSolidBrush(kBlue));
    const HGDIOBJ original = GetCurrentObject(dc, OBJ_BRUSH);
    {
        std::optional<SelectGuard> outer;
        outer.emplace(dc, red.get());
        {
            SelectGuard inner(dc, blue.get());
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), blue.get());
        }
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red.get());
        SelectGuard moved(std::move(*outer));
        outer.reset(); // the moved-from guard restores nothing
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red.get());
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), original);

    SetTextColor(dc, kBlue);
    {
        SavedDC saved(dc);
        SetTextColor(dc, kRed);
        SelectObject(dc, red.get());
    }
    EXPECT_EQ(GetTextColor(dc), kBlue);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), original);
}

// The program's texts are UTF-8, the code page its manifest asks for (this test program's too). GDI's "A" functions
// would convert them with the font's charset code page and draw "VidÃ©o"; the helper draws and measures exactly what
// the wide functions do with the same characters, up to four-byte ones.
TEST(TextDrawTest, DrawsAndMeasuresUtf8AsTheWideFunctionsDo) {
    const char* utf8 = "Vid\xC3\xA9o \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
    const wchar_t* wide = L"Vid\u00E9o \u65E5\u672C \U0001F600";
    OwnedFont font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
    const auto draw = [&](const std::function<void(HDC, RECT*)>& text) {
        auto canvas = std::make_unique<Canvas>(160, 20, kWhite);
        SelectGuard selection(canvas->hdc(), font.get());
        RECT area = {2, 2, 160, 20};
        text(canvas->hdc(), &area);
        return canvas;
    };
    const auto same = [](const Canvas& a, const Canvas& b) {
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.Pixel(x, y) != b.Pixel(x, y))
                    return false;
        return true;
    };
    constexpr UINT format = DT_SINGLELINE | DT_NOPREFIX;
    const auto helper = draw([&](HDC dc, RECT* r) { DrawTextUtf8(dc, utf8, r, format); });
    EXPECT_TRUE(same(*helper, *draw([&](HDC dc, RECT* r) { DrawTextW(dc, wide, -1, r, format); })));
    EXPECT_TRUE(same(*draw([&](HDC dc, RECT*) { TextOutUtf8(dc, 2, 2, utf8); }),
                     *draw([&](HDC dc, RECT*) { TextOutW(dc, 2, 2, wide, static_cast<int>(wcslen(wide))); })));

    SelectGuard selection(helper->hdc(), font.get());
    SIZE expected = {};
    GetTextExtentPoint32W(helper->hdc(), wide, static_cast<int>(wcslen(wide)), &expected);
    const SIZE measured = TextExtentUtf8(helper->hdc(), utf8);
    EXPECT_EQ(measured.cx, expected.cx);
    EXPECT_EQ(measured.cy, expected.cy);
    RECT calculated = {0, 0, 0, 0};
    DrawTextUtf8(helper->hdc(), utf8, &calculated, format | DT_CALCRECT);
    EXPECT_EQ(calculated.right, expected.cx);

    EXPECT_EQ(WidenText(utf8), wide);
    EXPECT_EQ(NarrowText(wide), utf8);
    // A broken character is marked, never taken with its neighbours.
    const std::wstring broken = WidenText("a\xE6\x97z");
    EXPECT_TRUE(broken.front() == L'a' && broken.back() == L'z' && broken.find(L'\uFFFD') != std::wstring::npos);
}

} // namespace
