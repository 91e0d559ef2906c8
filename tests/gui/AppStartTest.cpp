// Starts the real movara.exe, as laid out in dist/, and inspects it from outside as a user's tools would: its
// windows, its shape, its answers to keys and commands, its registry values, its exit.
#include "MovaraProcess.h"

#include "gui/MainWindowLogic.h"
#include "resources/resource.h"
#include "tests/support/Canvas.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

class MovaraStart : public ::testing::Test {
protected:
    void SetUp() override {
        saved.Save();
        // A start as a user's first: no skin of its own, nothing stored.
        for (const char* value : SavedMovaraValues::kSubKeys)
            DeleteMovaraValue(value);
    }
    void TearDown() override { saved.Restore(); }
    // Closes the window the way given and expects the program to end cleanly.
    static void CloseAndExpectExit(MovaraProcess& movara, HWND window, UINT message = WM_CLOSE, WPARAM wParam = 0) {
        PostMessageA(window, message, wParam, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(movara.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u);
    }

    SavedMovaraValues saved;
};

TEST_F(MovaraStart, TheShapedMainWindowWhichKeysLeaveOpenAndWhoseCloseStoresTheTaskCount) {
    // Read and shown as UTF-8: a program in a legacy code page would show "?" for the CJK and other bytes for "é".
    WriteMovaraValue("destination", "C:\\Sortie été 日本");
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start());
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(std::vector<LONG>({rect.left, rect.top, rect.right, rect.bottom}), std::vector<LONG>({0, 0, 825, 550}));
    EXPECT_EQ(WindowTextOf(GetDlgItem(window, IDC_OUTPUT_DIRECTORY)), "C:\\Sortie été 日本\\");
    // The shape: the corner's pure green is cut away, the body's middle is inside.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR) << "the window has a region";
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 412, 275));
    DeleteObject(region);
    // The preview's placeholder fades in to its own picture; then a picture of the window as a user first sees it.
    HMODULE program = LoadLibraryExA(MovaraPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const OwnedBitmap placeholder(static_cast<HBITMAP>(
        LoadImageA(program, MAKEINTRESOURCEA(IDB_PREVIEW_PLACEHOLDER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    RECT preview{};
    GetWindowRect(GetDlgItem(window, IDC_PREVIEW_PICTURE), &preview);
    const ClientDC screen(nullptr);
    EXPECT_TRUE(PumpUntil([&] {
        return GetPixel(screen.hdc(), preview.left + 173, preview.top + 90) == BitmapPixel(placeholder.get(), 173, 90);
    }));
    FreeLibrary(program);
    EXPECT_TRUE(SaveWindowPng(window, BuildFolder() + "main_window.png"));

    // Enter and Escape anywhere, list keys with no tasks and the system menu's About item: the window stays alone.
    HWND list = GetDlgItem(window, IDC_TASK_LIST);
    for (HWND target : {window, list, GetDlgItem(window, IDC_START)}) {
        for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
            PostMessageA(target, WM_KEYDOWN, key, 1);
            PostMessageA(target, WM_CHAR, key, 1);
            PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        }
    }
    for (WPARAM key : {VK_NEXT, VK_PRIOR, VK_UP, VK_DOWN, VK_HOME, VK_END})
        PostMessageA(list, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_SYSCOMMAND, 16, 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MINIMIZE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_MINIMIZE_BUTTON)));
    ASSERT_TRUE(movara.WaitUntilIdle());
    EXPECT_EQ(movara.VisibleWindows(), std::vector<HWND>{window}) << "no About box or other window appeared";
    EXPECT_TRUE(IsIconic(window));

    CloseAndExpectExit(movara, window, WM_SYSCOMMAND, SC_CLOSE);
    std::string fileno;
    EXPECT_TRUE(ReadMovaraValue("fileno", &fileno)) << "written when the window goes";
    EXPECT_EQ(fileno, "0") << "the number of tasks in the list when it closed";
}

TEST_F(MovaraStart, ABrokenSkinIsReportedAndClearedAndBadStoredValuesFallBackInAnotherFolder) {
    // A skin description naming a title bitmap that does not exist.
    TempFolder folder;
    const std::string directory = folder.Path().substr(0, folder.Path().size() - 1);
    WriteMovaraValue("SkinIni", folder.Write("skin.ini", "directory=" + directory + "\ntitle=missing.bmp\n"));
    MovaraProcess broken;
    ASSERT_TRUE(broken.Start());
    HWND box = broken.WaitForWindow([](HWND w) { return WindowTextOf(w) == "Error"; });
    ASSERT_NE(box, nullptr) << "the failure is reported";
    // The skin description's values come lower-cased.
    std::string path = directory + "\\missing.bmp";
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(WindowTextOf(GetDlgItem(box, 0xFFFF)),
              "Cannot load " + path + "\nCannot initialise Movara skin, Movara will restart with original theme");
    EXPECT_EQ(broken.VisibleWindows().size(), 1u) << "the failure comes before the splash and the main window";
    CloseAndExpectExit(broken, box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    std::string skin = "unread";
    EXPECT_TRUE(ReadMovaraValue("SkinIni", &skin));
    EXPECT_EQ(skin, "") << "the next start has the built-in look";

    // And it has, started from another working folder as a shortcut would, with a folder longer than any path buffer
    // and a version longer than the registry buffer stored: the defaults, and the profiles are still found.
    WriteMovaraValue("destination", std::string(300, 'x'));
    WriteMovaraValue("Version", std::string(600, '9'));
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start(folder.Path().c_str()));
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(window, IDC_OUTPUT_DIRECTORY)), defaultOutputDirectory);
    const std::string profile = AppFolder() + "iPod_Profile.ini";
    EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_PRESET), CB_GETCURSEL, 0, 0),
              static_cast<LRESULT>(GetPrivateProfileIntA("Info", "DefaultProfile", -1, profile.c_str())));
    CloseAndExpectExit(movara, window);
}

} // namespace
