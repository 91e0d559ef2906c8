// The message box, driven as a user would: a timer on the test's thread finds the box while it runs modally, reads
// what it shows and ends it with posted clicks or a WM_CLOSE.
#include "ControlsTestSupport.h"

#include "gui/MessageDlg.h"

#include "framework/WinApp.h"

#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

struct SeenBox {
    int result = 0;
    RECT window = {};
    std::string shown; // "caption/first button" and "/second button" when it shows
    int iconId = 0;
};

// What the timer does with the box once it finds it.
std::function<void(HWND)> onBox;

void CALLBACK DriveBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    const WNDENUMPROC find = [](HWND window, LPARAM found) -> BOOL {
        const bool isBox =
            IsWindowVisible(window) && GetDlgItem(window, IDC_MSG_CLOSE) && GetDlgItem(window, IDC_MSG_TEXT);
        *reinterpret_cast<HWND*>(found) = isBox ? window : nullptr;
        return !isBox;
    };
    EnumThreadWindows(GetCurrentThreadId(), find, reinterpret_cast<LPARAM>(&box));
    if (box && onBox) {
        KillTimer(nullptr, timer);
        std::exchange(onBox, nullptr)(box);
    }
}

void Click(HWND box, int button) {
    PostMessageA(GetDlgItem(box, button), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 5));
    PostMessageA(GetDlgItem(box, button), WM_LBUTTONUP, 0, PointParam(5, 5));
}

// Shows a box, notes what it shows and lets end end it (by default with OK).
SeenBox RunBox(
    const char* text, const char* caption, unsigned type, HWND parent = nullptr,
    const std::function<void(HWND)>& end = [](HWND box) { Click(box, IDOK); }) {
    EnsureBuiltInSkin();
    SeenBox seen;
    onBox = [&](HWND box) {
        GetWindowRect(box, &seen.window);
        const auto* dialog = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(box));
        seen.shown = dialog ? dialog->GetCaptionLabel().GetText() : "?";
        seen.iconId = dialog ? dialog->GetIconId() : 0;
        char buffer[64] = {};
        GetDlgItemTextA(box, IDOK, buffer, sizeof buffer);
        seen.shown += std::string("/") + buffer;
        GetDlgItemTextA(box, IDCANCEL, buffer, sizeof buffer);
        seen.shown += IsWindowVisible(GetDlgItem(box, IDCANCEL)) ? std::string("/") + buffer : "";
        end(box);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, DriveBox);
    seen.result = ShowMessage(text, caption, type, parent);
    KillTimer(nullptr, timer);
    onBox = nullptr;
    return seen;
}

TEST(MessageBoxTest, ShowsItsKindAndEndsWithTheCodeOfHowItEnded) {
    const unsigned question = MB_YESNO | MB_ICONQUESTION;
    const int information = IDI_MSG_INFORMATION;
    struct Row {
        unsigned type;
        const char* caption;
        int control, result; // control clicked, 0: WM_CLOSE
        const char* shown;
        int icon;
    };
    const Row rows[] = {
        {0, "", IDOK, IDOK, "Information/OK", information},
        {question, "", IDOK, IDYES, "Question/Yes/No", IDI_MSG_QUESTION},
        {question, "", IDCANCEL, IDNO, "Question/Yes/No", IDI_MSG_QUESTION},
        {question, "", IDC_MSG_CLOSE, IDNO, "Question/Yes/No", IDI_MSG_QUESTION},
        {MB_OKCANCEL, "", 0, IDCANCEL, "Information/OK/Cancel", information},
        {0, "Error", IDOK, IDOK, "Error/OK", information}, // a caller's caption replaces the kind, not the icon
        {MB_ICONHAND, "Warning", IDOK, IDOK, "Warning/OK", IDI_MSG_ERROR},
    };
    const char* text = "Overwrite the file?";
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << " " << r.caption << " " << r.control);
        const SeenBox seen = RunBox(text, r.caption, r.type, nullptr, [&](HWND box) {
            if (r.control == IDCANCEL) {
                RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                SaveWindowPng(box, BuildFolder() + "messagebox_yesno.png"); // for people to look at
            }
            if (r.control)
                Click(box, r.control);
            else
                PostMessageA(box, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(seen.result, r.result);
        EXPECT_EQ(seen.shown, r.shown);
        EXPECT_EQ(seen.iconId, r.icon);
    }
}

TEST(MessageBoxTest, WithoutAParentOrAnActiveWindowTheMainWindowOwnsTheBox) {
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
    RunBox("Converting Finished", "", 0, nullptr, [&](HWND box) {
        owner = GetWindow(box, GW_OWNER);
        mainEnabled = IsWindowEnabled(main.GetSafeHwnd());
        Click(box, IDOK);
    });
    EXPECT_EQ(owner, main.GetSafeHwnd());
    EXPECT_FALSE(mainEnabled) << "the box is modal to the main window";
    app.SetMainWindow(nullptr);
    main.DestroyWindow();
}

TEST(MessageBoxTest, CentresOverAShowingParentAndOnTheScreenOtherwise) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("MovaraTestParent", 0, nullptr, GetSysColorBrush(COLOR_WINDOW)));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "MovaraTestParent", "parent", WS_POPUP, {100, 60, 700, 460}, nullptr, 0));
    const POINT screen = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    for (const auto& [show, centre] :
         {std::pair{SW_HIDE, screen}, {SW_SHOWNOACTIVATE, {400, 260}}, {SW_MINIMIZE, screen}}) {
        parent.ShowWindow(show);
        const RECT box = RunBox("Centred", "", 0, parent.GetSafeHwnd()).window;
        EXPECT_NEAR((box.left + box.right) / 2, centre.x, 1) << show;
        EXPECT_NEAR((box.top + box.bottom) / 2, centre.y, 1) << show;
    }
    parent.DestroyWindow();
}

} // namespace
