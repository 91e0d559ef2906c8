// CWnd: binding to own-class windows and to subclassed controls, and the end of a binding. Reflection of notifications
// is what every skinned control's test goes through.
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kClass[] = "MovaraWndTestWindow";
constexpr UINT kPing = WM_APP + 1; // answered with 1000 + wParam
constexpr RECT kSmall = {0, 0, 120, 80};

bool Saw(const std::vector<UINT>& messages, UINT message) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

HWND CreateRaw(const char* className, DWORD style = WS_POPUP, HWND parent = nullptr, int id = 0) {
    return CreateWindowExA(0, className, "raw", style, 0, 0, 100, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

// Records its messages and how its binding ended.
class TestWnd : public CWnd {
public:
    std::vector<UINT> messages;
    HWND finalWindow = nullptr;
    bool boundDuringFinal = true;
    bool ncDestroyBeforeFinal = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == kPing)
            return 1000 + static_cast<LRESULT>(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnFinalMessage(HWND window) override {
        finalWindow = window;
        boundDuringFinal = GetSafeHwnd() != nullptr || FromHandle(window) != nullptr;
        ncDestroyBeforeFinal = !messages.empty() && messages.back() == WM_NCDESTROY;
    }
};

class WndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(CWnd::RegisterWindowClass(kClass)); }
};

TEST_F(WndTest, AWindowCreateExDidNotMakeIsBoundOnlyBySubclassingUntilUnsubclassedAndAgain) {
    // As a dialog template makes one of our class: its creation data must not be taken for an object.
    TestWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, kClass, "parent", WS_POPUP, kSmall, nullptr, 0));
    int creationData = 42;
    HWND orphan = CreateWindowExA(0, kClass, "orphan", WS_CHILD, 0, 0, 10, 10, parent.GetSafeHwnd(),
                                  reinterpret_cast<HMENU>(42), GetModuleHandleA(nullptr), &creationData);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(CWnd::FromHandle(orphan), nullptr);
    TestWnd object;
    EXPECT_FALSE(object.SubclassDlgItem(43, parent.GetSafeHwnd()));
    ASSERT_TRUE(object.SubclassDlgItem(42, parent.GetSafeHwnd()));
    EXPECT_EQ(SendMessageA(orphan, kPing, 4, 0), 1004);
    EXPECT_EQ(object.UnsubclassWindow(), orphan);
    EXPECT_EQ(CWnd::FromHandle(orphan), nullptr);
    EXPECT_EQ(SendMessageA(orphan, kPing, 4, 0), 0);
    EXPECT_EQ(object.UnsubclassWindow(), nullptr);
    // The same subclass id serves install and removal, so a second binding works as the first.
    ASSERT_TRUE(object.SubclassWindow(orphan));
    EXPECT_EQ(SendMessageA(orphan, kPing, 6, 0), 1006);
}

// The three ways a binding ends: the object destroys its window, someone else destroys it, or the control the object
// subclassed is destroyed. Each time the binding is gone before the final message, which comes after WM_NCDESTROY.
enum class BindingEnd { OwnDestroyWindow, DestroyedFromOutside, SubclassedControlDestroyed };

class WndBindingEnd : public WndTest, public testing::WithParamInterface<BindingEnd> {};

TEST_P(WndBindingEnd, ClearsTheBindingBeforeTheFinalMessage) {
    TestWnd window;
    const bool subclassed = GetParam() == BindingEnd::SubclassedControlDestroyed;
    if (subclassed)
        ASSERT_TRUE(window.SubclassWindow(CreateRaw("EDIT")));
    else
        ASSERT_TRUE(window.CreateEx(0, kClass, "own", WS_POPUP, kSmall, nullptr, 0));
    const HWND hwnd = window.GetSafeHwnd();
    // An own-class window is bound from its first message on.
    EXPECT_EQ(Saw(window.messages, WM_NCCREATE), !subclassed);
    EXPECT_EQ(CWnd::FromHandle(hwnd), &window);
    EXPECT_EQ(SendMessageA(hwnd, kPing, 5, 0), 1005);
    EXPECT_EQ(window.GetWindowText(), subclassed ? "raw" : "own");
    if (GetParam() == BindingEnd::OwnDestroyWindow)
        EXPECT_TRUE(window.DestroyWindow());
    else
        DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(window.finalWindow, hwnd);
    EXPECT_FALSE(window.boundDuringFinal);
    EXPECT_TRUE(window.ncDestroyBeforeFinal);
    EXPECT_FALSE(window.DestroyWindow());
    ASSERT_TRUE(window.CreateEx(0, kClass, "again", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(window.SendMessage(kPing, 2), 1002);
}

INSTANTIATE_TEST_SUITE_P(Wnd, WndBindingEnd,
                         testing::Values(BindingEnd::OwnDestroyWindow, BindingEnd::DestroyedFromOutside,
                                         BindingEnd::SubclassedControlDestroyed));

TEST_F(WndTest, TheDestructorDestroysWindowsItCreatedOfEitherKindButNotOnesItOnlySubclassed) {
    auto own = std::make_unique<TestWnd>();
    ASSERT_TRUE(own->CreateEx(0, kClass, "own", WS_POPUP, kSmall, nullptr, 0));
    auto button = std::make_unique<TestWnd>();
    ASSERT_TRUE(button->CreateEx(0, "BUTTON", "Go", WS_POPUP | BS_PUSHBUTTON, kSmall, nullptr, 0));
    const HWND ownWindow = own->GetSafeHwnd();
    const HWND buttonWindow = button->GetSafeHwnd();
    EXPECT_EQ(SendMessageA(buttonWindow, kPing, 3, 0), 1003) << "CreateEx of a system class subclasses the control";
    HWND edit = CreateRaw("EDIT");
    auto subclasser = std::make_unique<TestWnd>();
    ASSERT_TRUE(subclasser->SubclassWindow(edit));

    own.reset();
    button.reset();
    subclasser.reset();
    EXPECT_FALSE(IsWindow(ownWindow));
    EXPECT_FALSE(IsWindow(buttonWindow));
    ASSERT_TRUE(IsWindow(edit));
    EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
    EXPECT_EQ(SendMessageA(edit, kPing, 6, 0), 0);
    DestroyWindow(edit);
}

} // namespace
