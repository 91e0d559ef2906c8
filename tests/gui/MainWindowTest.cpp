// The main window's logic without windows, and the main window and the splash made in this process, where their
// objects can be asked what the outside cannot see.
#include "gui/ConverterDlg.h"
#include "gui/MainWindowLogic.h"
#include "gui/SplashThread.h"

#include "skin/SkinLoader.h"

#include "player/PlayerControl.h"

#include "engine/EngineGlobals.h"
#include "engine/SystemActions.h"

#include "skin/CellFormat.h"

#include "MovaraProcess.h"
#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>

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

// The dialog made in this process, with the program's layout beside it for the profiles.
class MainWindowInProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        RegisterPlayerWindowClass(GetModuleHandleA(nullptr));
        LoadSkin();
    }
    void SetUp() override {
        saved.Save();
        DeleteMovaraValue("destination");
        ASSERT_TRUE(SetProgramDirectory(MovaraPath()));
        previousDirectory.resize(MAX_PATH);
        GetCurrentDirectoryA(MAX_PATH, previousDirectory.data());
        ASSERT_TRUE(dialog.Create(nullptr));
    }
    void TearDown() override {
        dialog.DestroyWindow();
        SetCurrentDirectoryA(previousDirectory.c_str());
        saved.Restore();
    }

    SavedMovaraValues saved;
    std::string previousDirectory;
    CConverterDlg dialog;
};

TEST_F(MainWindowInProcess, EveryControlIsDrawnByItsSkinnedObject) {
    int count = 0;
    const ControlPlace* places = MainWindowPlaces(&count);
    for (int i = 0; i < count; ++i) {
        HWND child = dialog.GetDlgItem(places[i].id);
        ASSERT_NE(child, nullptr) << places[i].id;
        EXPECT_NE(CWnd::FromHandle(child), nullptr) << places[i].id;
    }
}

// A name in any script shows in the task list as it is: the cell's text is the name's own bytes, drawn through the
// wide functions. The picture is left for a person: build/list_utf8_names.png.
TEST_F(MainWindowInProcess, TheTaskListShowsUtf8NamesAsTheyAre) {
    const TempFolder folder;
    const std::string names[] = {"Vidéo ü 日本 — copie.avi", "Vide\xCC\x81o 😀.avi"};
    for (const std::string& name : names)
        dialog.AddVideoFile(folder.Write(name, "not a video"));
    EXPECT_TRUE(PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, dialog.GetSafeHwnd()));
    HWND list = dialog.GetDlgItem(IDC_TASK_LIST);
    for (int item = 0; item < 2; ++item) {
        CellFormat cell;
        cell.item = item;
        cell.subItem = 1;
        SendMessageA(dialog.GetSafeHwnd(), kCellFormatMessage, reinterpret_cast<WPARAM>(list),
                     reinterpret_cast<LPARAM>(&cell));
        EXPECT_EQ(cell.text, names[item]);
    }
    dialog.ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow(dialog.GetSafeHwnd());
    PumpPending(dialog.GetSafeHwnd());
    const std::string shot = BuildFolderPath("list_utf8_names.png");
    EXPECT_TRUE(SaveWindowPng(dialog.GetSafeHwnd(), shot)) << shot;
}

TEST_F(MainWindowInProcess, TaskListHasItsColumnsAndStyles) {
    HWND list = dialog.GetDlgItem(IDC_TASK_LIST);
    const struct {
        const char* heading;
        int format;
        int width;
    } columns[] = {{"", LVCFMT_CENTER, 20},          {"Source", LVCFMT_LEFT, 178}, {"Begin Time", LVCFMT_CENTER, 80},
                   {"End Time", LVCFMT_CENTER, 80}, {"Output", LVCFMT_LEFT, 178}, {"Progress", LVCFMT_LEFT, 250}};
    for (int i = 0; i < 6; ++i) {
        char heading[64] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = heading;
        column.cchTextMax = sizeof heading;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column))) << i;
        EXPECT_STREQ(heading, columns[i].heading);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[i].format) << i;
        EXPECT_EQ(column.cx, columns[i].width) << i;
    }
    const LRESULT extended = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(extended & LVS_EX_GRIDLINES);
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

// The face and height of a dialog's font, as its template set it.
std::pair<std::string, LONG> DialogFont(HWND dialog) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    return {font.lfFaceName, font.lfHeight};
}

TEST_F(MainWindowInProcess, SystemMenuCarriesTheAboutItem) {
    const auto [face, height] = DialogFont(dialog.GetSafeHwnd());
    EXPECT_EQ(face, "Tahoma") << "the template's font";
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(height, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72)) << "Tahoma 8";
    ReleaseDC(nullptr, screen);
    HMENU menu = GetSystemMenu(dialog.GetSafeHwnd(), FALSE);
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    ASSERT_GT(GetMenuStringA(menu, 16, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "&About Movara...");
    const int last = GetMenuItemCount(menu) - 1;
    EXPECT_EQ(GetMenuItemID(menu, last), 16u);
    MENUITEMINFOA separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, last - 1, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
}

TEST_F(MainWindowInProcess, IsTheEnginesHostWithTheResetSettings) {
    EXPECT_EQ(mainWindow, static_cast<ConverterHost*>(&dialog));
    EXPECT_EQ(dialog.TaskCount(), 0);
    EXPECT_EQ(dialog.GetTask(0), ConversionTask{}) << "out of range: an empty task";
    EXPECT_FALSE(dialog.ShutDownChecked());
    HWND check = dialog.GetDlgItem(IDC_SHUTDOWN_CHECK);
    SendMessageA(check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(check, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(dialog.ShutDownChecked()) << "a click ticks the box";

    // After the reset the panel stands on the engine's defaults, with the iPod file's preselected preset.
    const int defaultPreset = GetPrivateProfileIntA("Info", "DefaultProfile", -1,
                                                    (AppFolder() + "iPod_Profile.ini").c_str());
    OutputSettings expected;
    expected.presetIndex = defaultPreset;
    expected.outputDirectory = "D:\\";
    EXPECT_EQ(dialog.ReadOutputSettings(), expected);
    EXPECT_STREQ(outputDirectory, "D:\\");
    std::string directory(MAX_PATH, '\0');
    GetCurrentDirectoryA(MAX_PATH, directory.data());
    EXPECT_EQ(directory.c_str() + std::string("\\"), std::string(workDirectory) + "\\")
        << "the profiles were read from the work folder";
}

TEST_F(MainWindowInProcess, EngineMessagesShowSkinnedWhileTheWindowLives) {
    SystemActions& actions = CurrentSystemActions();
    EXPECT_NE(dynamic_cast<SkinnedSystemActions*>(&actions), nullptr);
    dialog.DestroyWindow();
    EXPECT_EQ(dynamic_cast<SkinnedSystemActions*>(&CurrentSystemActions()), nullptr)
        << "the system's box again once the window is gone";
}

TEST_F(MainWindowInProcess, BodyIsPaintedFromTheBitmap) {
    HBITMAP body = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_WINDOW_BODY),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(body, nullptr);
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, CConverterDlg::windowWidth, CConverterDlg::windowHeight);
    HGDIOBJ oldSource = SelectObject(source, body);
    HGDIOBJ oldTarget = SelectObject(target, canvas);
    RECT all = {0, 0, CConverterDlg::windowWidth, CConverterDlg::windowHeight};
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(SendMessageA(dialog.GetSafeHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target), 0));
    for (POINT p : {POINT{5, 5}, POINT{412, 20}, POINT{100, 500}, POINT{800, 540}, POINT{0, 0}})
        EXPECT_EQ(GetPixel(target, p.x, p.y), GetPixel(source, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(GetPixel(target, 0, 0), RGB(0, 255, 0)) << "the corner of the body is the cut-away green";
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteObject(canvas);
    DeleteObject(body);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
}

TEST(SplashThread, ShowsThePictureUntilClosedAndSavesAScreenshot) {
    std::unique_ptr<CSplashThread> splash = StartSplashThread();
    ASSERT_NE(splash, nullptr);
    HWND window = nullptr;
    PumpUntil([&] {
        window = splash->GetSplashWindow();
        return window && IsWindowVisible(window);
    }, 5000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId()) << "a thread of its own";
    char title[32] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Movara");
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 386);
    EXPECT_EQ(rect.bottom - rect.top, 157);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 386) / 2) << "centred";
    EXPECT_NE(SendMessageA(GetDlgItem(window, IDC_SPLASH_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
    const auto [face, height] = DialogFont(window);
    EXPECT_EQ(face, "Tahoma");
    HDC screen0 = GetDC(nullptr);
    EXPECT_EQ(height, -MulDiv(10, GetDeviceCaps(screen0, LOGPIXELSY), 72)) << "Tahoma 10";
    ReleaseDC(nullptr, screen0);

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // What shows on the screen is the picture.
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);
    // The splash paints on its own thread: until it has, the screen still shows what was there before (another
    // test's window), so the picture is waited for, within a bound.
    const POINT points[] = {{300, 20}, {60, 60}, {10, 150}};
    const auto shows = [&](POINT p) {
        return GetPixel(screen, rect.left + p.x, rect.top + p.y) == GetPixel(memory, p.x, p.y);
    };
    PumpUntil([&] { return std::all_of(std::begin(points), std::end(points), shows); }, 5000);
    for (POINT p : points)
        EXPECT_EQ(GetPixel(screen, rect.left + p.x, rect.top + p.y), GetPixel(memory, p.x, p.y)) << p.x << "," << p.y;
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    const std::string shot = BuildFolderPath("splash.png");
    EXPECT_TRUE(SaveScreenRectPng(rect, shot)) << shot;
    std::printf("splash saved as %s\n", shot.c_str());

    splash->CloseSplash();
    EXPECT_FALSE(IsWindow(window) && IsWindowVisible(window)) << "closed synchronously";
    splash.reset();
}

} // namespace
