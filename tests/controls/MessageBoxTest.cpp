// The message box, driven as a user would: a timer on the test's thread finds the box while it runs modally, reads
// what it shows and clicks its buttons with posted mouse messages.
#include "ControlsTestSupport.h"
#include "tests/support/ChildProcess.h"

#include "gui/MessageDlg.h"

#include "framework/WinApp.h"

#include "controls/MessageLayout.h"
#include "controls/SkinDrawing.h"

#include "resources/resource.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct SeenBox {
    bool found = false;
    RECT window = {};
    std::string caption;
    int iconId = 0;
    std::string first;
    std::string second;
    bool secondVisible = false;
    RECT firstRect = {};
    std::vector<TextExtent> lines;
};

// What the timer does once it finds the box; it is called until it returns true.
std::function<bool(HWND)> onBox;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_MSG_CLOSE) && GetDlgItem(window, IDC_MSG_TEXT)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DriveBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box && onBox && onBox(box)) {
        onBox = nullptr;
        KillTimer(nullptr, timer);
    }
}

SeenBox Inspect(HWND box) {
    SeenBox seen;
    seen.found = true;
    GetWindowRect(box, &seen.window);
    auto* dialog = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(box));
    if (dialog) {
        seen.caption = dialog->GetCaptionLabel().GetText();
        seen.iconId = dialog->GetIconId();
        const CSkLabel& text = dialog->GetTextLabel();
        HDC screen = GetDC(nullptr);
        HFONT font = CreateSkinFont(CSkLabel::kFontHeight);
        HGDIOBJ old = SelectObject(screen, font);
        for (int i = 0; i < text.GetLineCount(); ++i) {
            const std::string line = text.GetLine(i);
            SIZE size = {};
            GetTextExtentPoint32A(screen, line.c_str(), static_cast<int>(line.size()), &size);
            seen.lines.push_back({size.cx, size.cy});
        }
        SelectObject(screen, old);
        DeleteObject(font);
        ReleaseDC(nullptr, screen);
    }
    char buffer[64] = {};
    GetWindowTextA(GetDlgItem(box, IDOK), buffer, sizeof buffer);
    seen.first = buffer;
    GetWindowTextA(GetDlgItem(box, IDCANCEL), buffer, sizeof buffer);
    seen.second = buffer;
    seen.secondVisible = IsWindowVisible(GetDlgItem(box, IDCANCEL)) != FALSE;
    GetWindowRect(GetDlgItem(box, IDOK), &seen.firstRect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&seen.firstRect), 2);
    return seen;
}

void Click(HWND button) {
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, PointParam(5, 5));
}

// Shows a box and lets action look at it and end it.
int RunBox(const char* text, const char* caption, unsigned type, HWND parent, SeenBox& seen,
           const std::function<void(HWND)>& action) {
    onBox = [&](HWND box) {
        seen = Inspect(box);
        action(box);
        return true;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, DriveBox);
    const int result = ShowMessage(text, caption, type, parent);
    KillTimer(nullptr, timer);
    onBox = nullptr;
    return result;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureBuiltInSkin(); }
};

TEST_F(MessageBoxTest, TypeZeroIsAnInformationBoxWithOneCentredOk) {
    SeenBox seen;
    const int result = RunBox("  Converting Finished  ", "", 0, nullptr, seen,
                              [](HWND box) { Click(GetDlgItem(box, IDOK)); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.caption, "Information");
    EXPECT_EQ(seen.iconId, IDI_MSG_INFORMATION);
    EXPECT_EQ(seen.first, "OK");
    EXPECT_FALSE(seen.secondVisible);
    const int width = seen.window.right - seen.window.left;
    EXPECT_EQ(seen.firstRect.left, width / 2 - 35);
    EXPECT_EQ(seen.firstRect.right - seen.firstRect.left, 70);
    // Sized to the text as it is drawn.
    ASSERT_EQ(seen.lines.size(), 1u);
    EXPECT_EQ(width, std::max(180, seen.lines[0].cx + 10 + 2 + 50));
    EXPECT_EQ(seen.window.bottom - seen.window.top, seen.lines[0].cy + 103);
}

TEST_F(MessageBoxTest, WithoutAParentOrAnActiveWindowTheMainWindowOwnsTheBox) {
    // Movara in the background: its main window exists, but no window of the thread is active.
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(CWnd::RegisterWindowClass("MovaraMessageBoxTestMain"));
    ASSERT_TRUE(main.CreateEx(0, "MovaraMessageBoxTestMain", "Movara", WS_POPUP, {0, 0, 100, 100}, nullptr, 0));
    app.SetMainWindow(&main);
    SetActiveWindow(nullptr);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    HWND owner = nullptr;
    BOOL mainEnabled = TRUE;
    SeenBox seen;
    RunBox("Converting Finished", "", 0, nullptr, seen, [&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        mainEnabled = IsWindowEnabled(main.GetSafeHwnd());
        Click(GetDlgItem(box, IDOK));
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(owner, main.GetSafeHwnd());
    EXPECT_FALSE(mainEnabled) << "the box is modal to the main window";
    app.SetMainWindow(nullptr);
    main.DestroyWindow();
}

TEST_F(MessageBoxTest, ReturnsTheCodeOfHowItEnded) {
    struct Row {
        unsigned type;
        int control; // clicked; 0: WM_CLOSE
        int result;
    };
    const Row rows[] = {{MB_YESNO | MB_ICONQUESTION, IDOK, IDYES},
                        {MB_YESNO | MB_ICONQUESTION, IDCANCEL, IDNO},
                        {MB_YESNO | MB_ICONQUESTION, IDC_MSG_CLOSE, IDNO},
                        {MB_OKCANCEL, 0, IDCANCEL}};
    for (const Row& r : rows) {
        SeenBox seen;
        const int result = RunBox("Overwrite the file?", "", r.type, nullptr, seen, [&](HWND box) {
            if (r.control)
                Click(GetDlgItem(box, r.control));
            else
                PostMessageA(box, WM_CLOSE, 0, 0);
        });
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(result, r.result) << r.type << " " << r.control;
    }
}

TEST_F(MessageBoxTest, YesNoQuestionShowsItsKindAndBothButtons) {
    SeenBox seen;
    RunBox("Overwrite the file?", "", MB_YESNO | MB_ICONQUESTION, nullptr, seen,
           [](HWND box) { Click(GetDlgItem(box, IDOK)); });
    EXPECT_EQ(seen.caption, "Question");
    EXPECT_EQ(seen.iconId, IDI_MSG_QUESTION);
    EXPECT_EQ(seen.first, "Yes");
    EXPECT_EQ(seen.second, "No");
    EXPECT_TRUE(seen.secondVisible);
}

TEST_F(MessageBoxTest, ACallersCaptionReplacesTheKindButNotTheIcon) {
    SeenBox seen;
    RunBox("Please set the output directory firstly", "Error", 0, nullptr, seen,
           [](HWND box) { Click(GetDlgItem(box, IDOK)); });
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_EQ(seen.iconId, IDI_MSG_INFORMATION);
    RunBox("Your computer cannot shutdown", "Warning", MB_ICONHAND, nullptr, seen,
           [](HWND box) { Click(GetDlgItem(box, IDOK)); });
    EXPECT_EQ(seen.iconId, IDI_MSG_ERROR);
}

class ParentWindow : public CWnd {};

TEST_F(MessageBoxTest, CentresOverAShowingParentAndOnTheScreenOtherwise) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("MovaraTestParent", 0, nullptr, GetSysColorBrush(COLOR_WINDOW)));
    ParentWindow parent;
    const RECT rect = {100, 60, 700, 460};
    ASSERT_TRUE(parent.CreateEx(0, "MovaraTestParent", "parent", WS_POPUP, rect, nullptr, 0));
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    auto centreOf = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    auto ok = [](HWND box) { Click(GetDlgItem(box, IDOK)); };

    SeenBox seen;
    RunBox("Hidden parent", "", 0, parent.GetSafeHwnd(), seen, ok);
    EXPECT_NEAR(centreOf(seen.window).x, screenW / 2, 1);
    EXPECT_NEAR(centreOf(seen.window).y, screenH / 2, 1);

    parent.ShowWindow(SW_SHOWNOACTIVATE);
    RunBox("Showing parent", "", 0, parent.GetSafeHwnd(), seen, ok);
    EXPECT_NEAR(centreOf(seen.window).x, 400, 1);
    EXPECT_NEAR(centreOf(seen.window).y, 260, 1);

    parent.ShowWindow(SW_MINIMIZE);
    RunBox("Minimised parent", "", 0, parent.GetSafeHwnd(), seen, ok);
    EXPECT_NEAR(centreOf(seen.window).x, screenW / 2, 1);
    EXPECT_NEAR(centreOf(seen.window).y, screenH / 2, 1);
    parent.DestroyWindow();
}

TEST_F(MessageBoxTest, ALongWordStaysOnTheScreen) {
    SeenBox seen;
    const std::string word(400, 'W');
    RunBox(word.c_str(), "", 0, nullptr, seen, [](HWND box) { Click(GetDlgItem(box, IDOK)); });
    EXPECT_GE(seen.window.left, 0);
    EXPECT_LE(seen.window.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(MessageBoxTest, YesNoBoxScreenshotIsSaved) {
    SeenBox seen;
    bool saved = false;
    const std::string path = BuildFolder() + "messagebox_yesno.png";
    DeleteFileA(path.c_str());
    int shots = 0;
    onBox = nullptr;
    const int result = RunBox("Replace the existing file\nin the output folder?", "", MB_YESNO | MB_ICONQUESTION,
                              nullptr, seen, [&](HWND box) {
                                  RedrawWindow(box, nullptr, nullptr,
                                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                                  saved = SaveWindowPng(box, path);
                                  ++shots;
                                  Click(GetDlgItem(box, IDCANCEL));
                              });
    EXPECT_EQ(shots, 1);
    EXPECT_EQ(result, IDNO);
    EXPECT_TRUE(saved) << path;
    std::printf("message box saved as %s\n", path.c_str());
}

} // namespace
