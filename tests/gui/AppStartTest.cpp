// Starts the real movara.exe, as laid out in dist/, and inspects it from outside as a user's tools would: its
// windows, their places and classes, its shape, its answers to keys and commands, its registry values, its exit.
#include "MovaraProcess.h"

#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The window's children as a user's tools see them: id, window class, client place, visible at start.
struct ExpectedChild {
    int id;
    const char* className;
    int x, y, width, height;
    bool visible;
};

const ExpectedChild expectedChildren[] = {
    {1053, "MovaraPlayer", 17, 60, 346, 188, false},    // the player, shown once a video is added
    {1058, "Static", 17, 60, 346, 188, true},           // placeholder picture
    {1047, "MFCRangeSlider", 18, 250, 346, 20, true},   // range slider
    {1054, "Button", 165, 267, 25, 25, true},           // play preview
    {1055, "Button", 192, 267, 25, 25, true},           // stop preview
    {1011, "SysListView32", 10, 317, 790, 145, true},   // task list
    {1012, "Button", 265, 500, 32, 32, true},           // add
    {1013, "Button", 305, 500, 32, 32, true},           // remove
    {1014, "Button", 345, 500, 32, 32, true},           // remove all
    {1048, "Button", 385, 485, 50, 50, true},           // Start
    {1049, "Button", 385, 485, 50, 50, false},          // Stop, in Start's place
    {1016, "Button", 525, 500, 32, 32, true},           // help
    {1019, "Button", 765, 8, 18, 18, true},             // minimise
    {1004, "Button", 785, 8, 18, 18, true},             // close
    {1035, "Static", 528, 14, 100, 20, true},           // version label
    {1088, "Button", 380, 40, 436, 17, true},           // device tabs
    {1052, "Button", 390, 60, 415, 190, true},          // "Output Setting" frame
    {1090, "Static", 400, 75, 120, 19, false},          // 3GP type: only on the 3GP tab
    {1089, "ComboBox", 530, 75, 260, 19, false},
    {1066, "Static", 400, 78, 390, 60, false},          // description, preset list: not on the iPod tab
    {1036, "Static", 400, 142, 80, 15, false},
    {1065, "ListBox", 400, 160, 390, 80, false},
    {1071, "Static", 400, 85, 80, 19, true},            // the iPod page
    {1072, "ComboBox", 485, 85, 305, 19, true},
    {1073, "Static", 400, 112, 80, 19, true},
    {1074, "ComboBox", 485, 112, 110, 19, true},
    {1075, "Static", 600, 112, 75, 19, true},
    {1076, "ComboBox", 680, 112, 110, 19, true},
    {1077, "Static", 400, 140, 80, 19, true},
    {1078, "ComboBox", 485, 140, 110, 19, true},
    {1044, "Static", 600, 140, 75, 19, true},
    {1079, "ComboBox", 680, 140, 110, 19, true},
    {1039, "Static", 400, 168, 80, 19, true},
    {1080, "ComboBox", 485, 168, 110, 19, true},
    {1081, "Static", 400, 195, 80, 19, true},
    {1082, "ComboBox", 485, 195, 110, 19, true},
    {1045, "Static", 600, 195, 75, 19, true},
    {1083, "ComboBox", 680, 195, 110, 19, true},
    {1084, "Static", 400, 223, 80, 19, true},
    {1085, "ComboBox", 485, 223, 110, 19, true},
    {1086, "Static", 600, 223, 75, 19, true},
    {1087, "ComboBox", 680, 223, 110, 19, true},
    {1034, "Static", 400, 258, 100, 19, true},          // "Output Directory:"
    {1021, "Button", 505, 258, 230, 15, true},          // the folder field
    {1022, "Button", 744, 250, 30, 30, true},           // choose the folder
    {1059, "Button", 400, 283, 350, 15, true},          // shut down when finished
};

class MovaraStart : public ::testing::Test {
protected:
    void SetUp() override {
        saved.Save();
        // A start as a user's first: no skin of its own, nothing stored.
        DeleteMovaraValue("SkinIni");
        DeleteMovaraValue("Version");
        DeleteMovaraValue("destination");
        DeleteMovaraValue("fileno");
    }
    void TearDown() override { saved.Restore(); }

    SavedMovaraValues saved;
};

TEST_F(MovaraStart, MainWindowOpensAtTheTopLeftWithEveryControlInPlace) {
    WriteMovaraValue("Version", "2.1");
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start()) << "cannot start " << MovaraPath();
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 825);
    EXPECT_EQ(rect.bottom - rect.top, 550);
    EXPECT_EQ(WindowTextOf(window), "Movara");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION) << "the body is the whole window: no caption";

    for (const ExpectedChild& expected : expectedChildren) {
        SCOPED_TRACE(expected.id);
        HWND child = GetDlgItem(window, expected.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(ClassNameOf(child), expected.className);
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, expected.x);
        EXPECT_EQ(place.top, expected.y);
        EXPECT_EQ(place.right - place.left, expected.width);
        // A drop-down list's height is its selection field's, which its font decides.
        if (std::string(expected.className) != "ComboBox") {
            EXPECT_EQ(place.bottom - place.top, expected.height);
        }
        EXPECT_EQ(IsWindowVisible(child) != FALSE, expected.visible);
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1021))) << "the folder field only shows the folder";
    EXPECT_EQ(WindowTextOf(GetDlgItem(window, 1021)), "D:\\") << "nothing stored: the default folder";

    // The list's scroll bars stand beside it, in the window.
    int bars = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        bars += GetDlgCtrlID(child) == 0xFFFF ? 1 : 0;
    EXPECT_EQ(bars, 2);

    // The combos' fixed items, as a user's tools read them.
    EXPECT_EQ(ComboItems(GetDlgItem(window, 1076)).size(), 9u);
    EXPECT_EQ(ComboItems(GetDlgItem(window, 1079)).at(3), "256   kbps ");
    EXPECT_EQ(ComboSelection(GetDlgItem(window, 1076)), 3) << "320 x 240 after the reset";
    EXPECT_EQ(ComboSelection(GetDlgItem(window, 1087)), 1) << "100%";

    // The shape: the corner's pure green is cut away, the body's middle is inside.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR) << "the window has a region";
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 824, 549));
    EXPECT_TRUE(PtInRegion(region, 412, 275));
    EXPECT_TRUE(PtInRegion(region, 20, 0)) << "the top edge away from the corner stays";
    DeleteObject(region);

    // A picture of the window as a user first sees it, once the preview's placeholder has faded in.
    movara.WaitForStillPixels(window, 190, 150);
    const std::string shot = BuildFolderPath("main_window.png");
    EXPECT_TRUE(SaveScreenRectPng(rect, shot)) << shot;
    std::printf("main window saved as %s\n", shot.c_str());

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_CLOSE_BUTTON)));
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode)) << "the close button ends Movara";
    EXPECT_EQ(exitCode, 0u);
    std::string fileno;
    EXPECT_TRUE(ReadMovaraValue("fileno", &fileno)) << "written when the window goes";
    EXPECT_EQ(fileno, "0") << "the number of tasks in the list when it closed";
}

TEST_F(MovaraStart, EnterEscapeAndTheAboutCommandLeaveTheWindowOpen) {
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start());
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    HWND list = GetDlgItem(window, IDC_TASK_LIST);
    for (HWND target : {window, list, GetDlgItem(window, IDC_START)}) {
        for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
            PostMessageA(target, WM_KEYDOWN, key, 1);
            PostMessageA(target, WM_CHAR, key, 1);
            PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        }
    }
    // List keys with no tasks: consumed, nothing to select.
    for (WPARAM key : {VK_NEXT, VK_PRIOR, VK_UP, VK_DOWN, VK_HOME, VK_END})
        PostMessageA(list, WM_KEYDOWN, key, 1);
    ASSERT_TRUE(movara.WaitUntilIdle());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(movara.IsRunning());

    // The About item of the system menu shows nothing and keeps the window as it is.
    SendMessageA(window, WM_SYSCOMMAND, 16, 0);
    ASSERT_TRUE(movara.WaitUntilIdle());
    EXPECT_TRUE(movara.IsRunning());
    EXPECT_EQ(movara.VisibleWindows().size(), 1u) << "no About box or other window appeared";

    // The minimise button minimises; the system's Close ends the program.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MINIMIZE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_MINIMIZE_BUTTON)));
    ASSERT_TRUE(movara.WaitUntilIdle());
    EXPECT_TRUE(IsIconic(window));
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(MovaraStart, SplashShowsBeforeTheMainWindowAndIsGoneOnceItOpens) {
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start());
    const WindowTimeline timeline = movara.WatchUntilMainWindow();
    ASSERT_NE(timeline.mainWindow, nullptr);
    ASSERT_NE(timeline.splash, nullptr) << "a splash window was seen";
    EXPECT_TRUE(timeline.splashSeenBeforeMain);
    EXPECT_FALSE(IsWindow(timeline.splash) && IsWindowVisible(timeline.splash)) << "the splash is gone";
    // It ran on a thread of its own.
    EXPECT_NE(GetWindowThreadProcessId(timeline.splash, nullptr),
              GetWindowThreadProcessId(timeline.mainWindow, nullptr));
    PostMessageA(timeline.mainWindow, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(MovaraStart, StoredFoldersShowWithABackslashAndBadOnesFallBack) {
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"C:\\Videos", "C:\\Videos\\"},
        {"C:", "C:\\"},
        {"E:\\Out\\", "E:\\Out\\"},
        {"", ""},
        // Read and shown as UTF-8: a program in a legacy code page would show "?" for the CJK and other bytes for "é".
        {"C:\\Sortie été 日本", "C:\\Sortie été 日本\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteMovaraValue("destination", c.stored);
        MovaraProcess movara;
        ASSERT_TRUE(movara.Start());
        HWND window = movara.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowTextOf(GetDlgItem(window, IDC_OUTPUT_DIRECTORY)), c.shown);
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(movara.WaitForExit(&exitCode));
    }
    // Longer than any path buffer, and a version longer than the registry buffer: the defaults, no crash.
    WriteMovaraValue("destination", std::string(300, 'x'));
    WriteMovaraValue("Version", std::string(600, '9'));
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start());
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowTextOf(GetDlgItem(window, IDC_OUTPUT_DIRECTORY)), "D:\\");
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(MovaraStart, FromAnotherFolderFindsTheProfiles) {
    // Started from the temporary folder, as a shortcut with another working folder would start it.
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    MovaraProcess movara;
    ASSERT_TRUE(movara.Start(temp));
    HWND window = movara.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    const std::string profile = AppFolder() + "iPod_Profile.ini";
    std::vector<std::string> titles;
    for (int i = 1;; ++i) {
        char title[1024] = {};
        const std::string section = "profile" + std::to_string(i);
        if (!GetPrivateProfileStringA(section.c_str(), "Title", "", title, sizeof title, profile.c_str()))
            break;
        titles.push_back(title);
    }
    ASSERT_GE(titles.size(), 2u);
    // The combo holds the titles of every section after "Info", the custom preset first.
    const std::vector<std::string> items = ComboItems(GetDlgItem(window, IDC_PRESET));
    ASSERT_EQ(items.size(), titles.size() + 1);
    for (size_t i = 0; i < titles.size(); ++i)
        EXPECT_EQ(items[i + 1], titles[i]);
    const int defaultProfile = GetPrivateProfileIntA("Info", "DefaultProfile", -1, profile.c_str());
    EXPECT_EQ(ComboSelection(GetDlgItem(window, IDC_PRESET)), defaultProfile);

    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(MovaraStart, ABrokenSkinIsReportedClearedAndEndsTheProgram) {
    // A skin description naming a title bitmap that does not exist.
    const std::string folder = FullPathOf("broken_skin");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string description = folder + "\\skin.ini";
    FILE* file = std::fopen(description.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fprintf(file, "directory=%s\ntitle=missing.bmp\n", folder.c_str());
    std::fclose(file);
    WriteMovaraValue("SkinIni", description);

    MovaraProcess movara;
    ASSERT_TRUE(movara.Start());
    HWND box = movara.WaitForWindowTitled("Error");
    ASSERT_NE(box, nullptr) << "the failure is reported";
    const std::string text = WindowTextOf(GetDlgItem(box, 0xFFFF));
    // The skin description's values come lower-cased.
    std::string path = folder + "\\missing.bmp";
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(text, "Cannot load " + path + "\nCannot initialise Movara skin, Movara will restart with original theme");
    // Nothing else showed: the failure comes before the splash and the main window.
    EXPECT_EQ(movara.VisibleWindows().size(), 1u);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(movara.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    std::string skin = "unread";
    EXPECT_TRUE(ReadMovaraValue("SkinIni", &skin));
    EXPECT_EQ(skin, "") << "the next start has the built-in look";

    // And it has: the next start opens the main window.
    MovaraProcess next;
    ASSERT_TRUE(next.Start());
    HWND window = next.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(next.WaitForExit(&exitCode));
}

TEST_F(MovaraStart, TwoInstancesRunSideBySide) {
    MovaraProcess first;
    MovaraProcess second;
    ASSERT_TRUE(first.Start());
    HWND firstWindow = first.WaitForMainWindow();
    ASSERT_TRUE(second.Start());
    HWND secondWindow = second.WaitForMainWindow();
    ASSERT_NE(firstWindow, nullptr);
    ASSERT_NE(secondWindow, nullptr);
    EXPECT_NE(firstWindow, secondWindow);
    PostMessageA(secondWindow, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(second.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(first.WaitUntilIdle());
    EXPECT_TRUE(IsWindowVisible(firstWindow)) << "the first goes on when the second ends";
    PostMessageA(firstWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
