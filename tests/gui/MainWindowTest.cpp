// The main window's logic without windows, and the splash made in this process.
#include "gui/MainWindowLogic.h"
#include "gui/SplashThread.h"

#include "MovaraProcess.h"
#include "resources/resource.h"
#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

TEST(MainWindowLogic, StartOutputDirectoryAppendsABackslashAndFallsBack) {
    const struct {
        bool read;
        std::string stored;
        std::string shown;
    } rows[] = {
        {false, "", "D:\\"},
        {false, "C:\\ignored", "D:\\"},
        {true, "C:\\Videos", "C:\\Videos\\"},
        {true, "C:", "C:\\"},
        {true, "E:\\Out\\", "E:\\Out\\"},
        {true, "", ""},
        {true, std::string(258, 'x'), std::string(258, 'x') + "\\"}, // 259 characters and the terminator fit
        {true, std::string(259, 'x'), "D:\\"},                       // the backslash would not
        {true, std::string(300, 'x'), "D:\\"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StartOutputDirectory(row.read, row.stored, 260), row.shown) << row.stored.size();
}

TEST(MainWindowLogic, ListKeysMoveTheSelectionByTheTable) {
    const struct {
        ListKey key;
        int s;
        int n;
        int expected; // -1: unchanged
    } rows[] = {
        {ListKey::pageDown, 8, 10, 9},  {ListKey::pageDown, 2, 10, 5}, {ListKey::pageDown, 9, 10, -1},
        {ListKey::pageUp, 2, 10, 0},    {ListKey::pageUp, 7, 10, 4},   {ListKey::pageUp, 0, 10, -1},
        {ListKey::up, 3, 10, 2},        {ListKey::up, 0, 10, -1},      {ListKey::down, 3, 10, 4},
        {ListKey::down, 9, 10, -1},     {ListKey::home, 5, 10, 0},     {ListKey::end, 5, 10, 9},
        {ListKey::home, -1, 0, -1},     {ListKey::end, -1, 0, -1},     {ListKey::pageDown, -1, 0, -1},
        {ListKey::down, -1, 0, -1},     {ListKey::pageDown, -1, 5, 2}, {ListKey::down, -1, 5, 0},
    };
    for (const auto& row : rows) {
        const std::optional<int> next = NextSelectionForKey(row.key, row.s, row.n, row.n);
        EXPECT_EQ(next.value_or(-1), row.expected) << static_cast<int>(row.key) << " from " << row.s;
    }
}

TEST(MainWindowLogic, SmallRules) {
    EXPECT_EQ(HelpPagePath("C:\\Program Files\\Movara\\"), "C:\\Program Files\\Movara\\help/help.html");
    EXPECT_EQ(HelpPagePath(std::string(995, 'a')).size(), 999u) << "cut to the 1000-byte buffer";
    EXPECT_TRUE(IsSwallowedSystemCommand(16));
    EXPECT_TRUE(IsSwallowedSystemCommand(31));
    EXPECT_FALSE(IsSwallowedSystemCommand(15));
    EXPECT_FALSE(IsSwallowedSystemCommand(32));
    EXPECT_FALSE(IsSwallowedSystemCommand(0xF060)); // SC_CLOSE
    EXPECT_EQ(VersionLabelText(""), "V");
    EXPECT_EQ(VersionLabelText("1.0.3"), "V1.0.3");
    EXPECT_EQ(FileNumberText(0), "0");
    EXPECT_EQ(FileNumberText(12), "12");
    // A video's path fits the 260-byte buffers with its terminator or is refused whole, by name: bytes count, not
    // characters ("é" takes two).
    std::string path = "C:\\";
    while (path.size() < 259)
        path += path.size() == 258 ? "x" : "\xC3\xA9";
    EXPECT_EQ(SourcePathRefusal(path), "");
    path += "\xC3\xA9";
    EXPECT_EQ(SourcePathRefusal(path),
              "The video's path is too long (261 bytes; at most 259), it was not added:\n" + path);
    // Every control has one place, and the shared rectangles are the two the window has.
    int count = 0;
    const ControlPlace* places = MainWindowPlaces(&count);
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            EXPECT_NE(places[i].id, places[j].id);
    EXPECT_EQ(FindControlPlace(IDC_PLAYER)->x, FindControlPlace(IDC_PREVIEW_PICTURE)->x);
    EXPECT_EQ(FindControlPlace(IDC_STOP)->y, FindControlPlace(IDC_START)->y);
    EXPECT_FALSE(FindControlPlace(4711).has_value());
}

TEST(MainWindowLogic, EndOfRunTextsAndFolderChecks) {
    EXPECT_EQ(RunEndText(false, 0, 3), "  Converting Finished  ");
    EXPECT_EQ(RunEndText(false, 2, 3), "  Converting Finished: 2 of 3 failed; app\\log.txt has the reasons  ");
    EXPECT_EQ(RunEndText(true, 0, 3), "  Converting Stopped  ");
    EXPECT_EQ(CheckOutputFolderText(""), OutputFolderCheck::empty);
    EXPECT_EQ(CheckOutputFolderText(std::string(219, 'x')), OutputFolderCheck::ok);
    EXPECT_EQ(CheckOutputFolderText(std::string(220, 'x')), OutputFolderCheck::tooLong);
    EXPECT_EQ(SourceColumnText("C:\\a\\b.c.avi"), "b.c.avi");
    EXPECT_EQ(SourceColumnText("plain"), "plain");
}

TEST(SplashThread, ShowsThePictureOnAThreadOfItsOwnUntilClosed) {
    std::unique_ptr<CSplashThread> splash = StartSplashThread();
    ASSERT_NE(splash, nullptr);
    HWND window = nullptr;
    PumpUntil([&] {
        window = splash->GetSplashWindow();
        return window && IsWindowVisible(window);
    }, 5000);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 386);
    EXPECT_EQ(rect.bottom - rect.top, 157);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 386) / 2) << "centred";
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma") << "the template's font";
    HDC screenDc = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(10, GetDeviceCaps(screenDc, LOGPIXELSY), 72)) << "Tahoma 10";
    ReleaseDC(nullptr, screenDc);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Movara");

    // What shows on the screen is the picture.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC screen = GetDC(nullptr);
    // The splash paints on its own thread: until it has, the screen still shows what was there before (another
    // test's window), so the picture is waited for, within a bound.
    const POINT points[] = {{300, 20}, {60, 60}, {10, 150}};
    const auto shows = [&](POINT p) {
        return GetPixel(screen, rect.left + p.x, rect.top + p.y) == BitmapPixel(picture, p.x, p.y);
    };
    PumpUntil([&] { return std::all_of(std::begin(points), std::end(points), shows); }, 5000);
    for (POINT p : points)
        EXPECT_TRUE(shows(p)) << p.x << "," << p.y;
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    const std::string shot = BuildFolderPath("splash.png");
    EXPECT_TRUE(SaveScreenRectPng(rect, shot)) << shot;
    std::printf("splash saved as %s\n", shot.c_str());

    splash->CloseSplash();
    EXPECT_FALSE(IsWindow(window) && IsWindowVisible(window)) << "closed synchronously";
}

} // namespace
