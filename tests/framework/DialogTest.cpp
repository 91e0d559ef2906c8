// CDialog: modal end codes and the modal loop, and the owner's state.
#include "framework/Dialog.h"

#include "TestIds.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr UINT kEndWith = WM_APP + 10; // ends the dialog with wParam

// A dialog that lets each test say what happens once it runs (onInit) and what its PreTranslateMessage does. A timer
// ends it with 42.
class TestDialog : public CDialog {
public:
    explicit TestDialog(HWND parent = nullptr, UINT id = IDD_TEST_DIALOG) : CDialog(id, parent) {}

    std::function<void(TestDialog&)> onInit;
    std::function<bool(MSG*)> preTranslate;
    bool boundDuringInit = false;
    int okCount = 0;
    int cancelCount = 0;
    HWND finalWindow = nullptr;

    bool PreTranslateMessage(MSG* msg) override { return preTranslate && preTranslate(msg); }

protected:
    BOOL OnInitDialog() override {
        boundDuringInit = GetSafeHwnd() != nullptr && FromHandle(GetSafeHwnd()) == this;
        if (onInit)
            onInit(*this);
        return CDialog::OnInitDialog();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_TIMER: return OnEnd(42);
        case kEndWith: return OnEnd(static_cast<INT_PTR>(wParam));
        default: return CDialog::WindowProc(message, wParam, lParam);
        }
    }
    void OnOK() override {
        ++okCount;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        CDialog::OnCancel();
    }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

private:
    LRESULT OnEnd(INT_PTR code) {
        EndDialog(code);
        return 0;
    }
};

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(CWnd::RegisterWindowClass("MovaraDialogTestOwner")); }
    void SetUp() override {
        ASSERT_TRUE(owner.CreateEx(0, "MovaraDialogTestOwner", "owner", WS_POPUP, {0, 0, 50, 50}, nullptr, 0));
    }

    CWnd owner;
};

// The ways a modal dialog ends, each with the code DoModal gives and the handler (OK, Cancel or none) it goes through.
struct EndCase {
    const char* name;
    void (*act)(TestDialog&);
    INT_PTR code;
};

std::thread closer; // sends WM_CLOSE from another thread, as the splash thread closes its window

const EndCase kEndCases[] = {
    {"EnterPressesTheDefaultButton",
     [](TestDialog& d) { PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
    {"WmClose", [](TestDialog& d) { d.PostMessage(WM_CLOSE); }, IDCANCEL},
    // Handled inside the loop's GetMessage, and the loop must still end.
    {"WmCloseSentFromAnotherThread",
     [](TestDialog& d) { closer = std::thread([w = d.GetSafeHwnd()] { SendMessageA(w, WM_CLOSE, 0, 0); }); }, IDCANCEL},
    {"Escape", [](TestDialog& d) { PostMessageA(d.GetDlgItem(IDC_TEST_EDIT), WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL},
    {"EndDialogFromATimer", [](TestDialog& d) { d.SetTimer(1, 10); }, 42},
    {"EndDialogDuringInitialisation", [](TestDialog& d) { d.EndDialog(5); }, 5},
    // WM_QUIT ends the loop and stays queued for the thread's own loop.
    {"WmQuit", [](TestDialog&) { PostQuitMessage(3); }, -1},
};

class DialogEnd : public DialogTest, public testing::WithParamInterface<EndCase> {};

TEST_P(DialogEnd, EndsWithItsCodeThroughItsHandlerAndDestroysTheWindow) {
    TestDialog dialog;
    dialog.onInit = GetParam().act;
    EXPECT_EQ(dialog.DoModal(), GetParam().code);
    if (closer.joinable())
        closer.join();
    EXPECT_TRUE(dialog.boundDuringInit);
    EXPECT_EQ(dialog.okCount, GetParam().code == IDOK ? 1 : 0);
    EXPECT_EQ(dialog.cancelCount, GetParam().code == IDCANCEL ? 1 : 0);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_NE(dialog.finalWindow, nullptr);
    EXPECT_FALSE(IsWindow(dialog.finalWindow));
    MSG quit = {};
    EXPECT_EQ(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, GetParam().code == -1);
    EXPECT_EQ(quit.wParam, GetParam().code == -1 ? 3u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Dialog, DialogEnd, testing::ValuesIn(kEndCases),
                         [](const testing::TestParamInfo<EndCase>& info) { return std::string(info.param.name); });

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRunsAndAfterwardsAsItWasBefore) {
    for (const bool enabledBefore : {true, false}) {
        EnableWindow(owner.GetSafeHwnd(), enabledBefore);
        TestDialog dialog(owner.GetSafeHwnd());
        BOOL enabledMeanwhile = TRUE;
        HWND dialogOwner = nullptr;
        dialog.onInit = [&](TestDialog& d) {
            dialogOwner = GetWindow(d.GetSafeHwnd(), GW_OWNER);
            d.PostMessage(kEndWith, 1);
        };
        dialog.preTranslate = [&](MSG*) {
            enabledMeanwhile = IsWindowEnabled(owner.GetSafeHwnd());
            return false;
        };
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(dialogOwner, owner.GetSafeHwnd());
        EXPECT_FALSE(enabledMeanwhile);
        EXPECT_EQ(IsWindowEnabled(owner.GetSafeHwnd()) != FALSE, enabledBefore);
    }
    // A dialog that cannot be made gives -1 and leaves the owner enabled.
    EnableWindow(owner.GetSafeHwnd(), TRUE);
    TestDialog missing(owner.GetSafeHwnd(), IDD_MISSING_DIALOG);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.boundDuringInit);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
}

} // namespace
