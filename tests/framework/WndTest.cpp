// CWnd: binding to own-class windows and to subclassed controls, dispatch, the end of a binding, reflection of
// notifications, and the PreTranslateMessage walk.
#include "framework/Wnd.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kTestClass[] = "MovaraWndTestWindow";
constexpr UINT kPing = WM_APP + 1;
constexpr RECT kSmall = {0, 0, 120, 80};

bool Saw(const std::vector<UINT>& messages, UINT message) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

// Answers kPing with 1000 + wParam and records every message its message map sees.
class RecordingWindow : public CWnd {
public:
    std::vector<UINT> messages;
    HWND finalWindow = nullptr;
    bool boundDuringFinal = false;
    bool ncDestroyBeforeFinal = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        switch (message) {
        case kPing: return OnPing(wParam);
        default: return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    void OnFinalMessage(HWND window) override {
        finalWindow = window;
        boundDuringFinal = GetSafeHwnd() != nullptr || FromHandle(window) != nullptr;
        ncDestroyBeforeFinal = !messages.empty() && messages.back() == WM_NCDESTROY;
    }

private:
    LRESULT OnPing(WPARAM wParam) { return 1000 + static_cast<LRESULT>(wParam); }
};

// A control object that takes one kind of reflected notification and answers it with a given value.
class NotifiedChild : public CWnd {
public:
    std::vector<UINT> notified;
    UINT handledMessage = 0;
    LRESULT answer = 0;

protected:
    bool OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) override {
        notified.push_back(message);
        if (message != handledMessage)
            return false;
        *result = answer;
        return true;
    }
};

// A parent that answers every message it records with parentAnswer, when set.
class AnsweringParent : public RecordingWindow {
public:
    std::vector<UINT> ownNotified;
    LRESULT parentAnswer = 0;
    UINT answeredMessage = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == answeredMessage) {
            messages.push_back(message);
            return parentAnswer;
        }
        return RecordingWindow::WindowProc(message, wParam, lParam);
    }
    bool OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT*) override {
        ownNotified.push_back(message);
        return false;
    }
};

class WndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(CWnd::RegisterWindowClass(kTestClass)); }

    static HWND CreateRaw(const char* className, DWORD style = WS_POPUP, HWND parent = nullptr, int id = 0) {
        return CreateWindowExA(0, className, "raw", style, 0, 0, 100, 20, parent,
                               parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    static std::string TextOf(HWND window) {
        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
};

TEST_F(WndTest, RegisteringTheSameClassAgainSucceedsButAForeignClassIsRefused) {
    EXPECT_TRUE(CWnd::RegisterWindowClass(kTestClass));

    WNDCLASSA foreign = {};
    foreign.lpfnWndProc = DefWindowProcA;
    foreign.hInstance = GetModuleHandleA(nullptr);
    foreign.lpszClassName = "MovaraWndTestForeign";
    WNDCLASSA existing = {};
    if (!GetClassInfoA(foreign.hInstance, foreign.lpszClassName, &existing)) {
        ASSERT_NE(RegisterClassA(&foreign), 0);
    }
    EXPECT_FALSE(CWnd::RegisterWindowClass("MovaraWndTestForeign"));
}

TEST_F(WndTest, OwnClassWindowIsBoundFromNcCreateAndDispatchesToItsHandlers) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, kTestClass, "own", WS_POPUP, kSmall, nullptr, 0));
    HWND hwnd = window.GetSafeHwnd();
    ASSERT_NE(hwnd, nullptr);

    auto ncCreate = std::find(window.messages.begin(), window.messages.end(), static_cast<UINT>(WM_NCCREATE));
    auto create = std::find(window.messages.begin(), window.messages.end(), static_cast<UINT>(WM_CREATE));
    ASSERT_NE(ncCreate, window.messages.end());
    ASSERT_NE(create, window.messages.end());
    EXPECT_LT(ncCreate, create);

    EXPECT_EQ(SendMessageA(hwnd, kPing, 5, 0), 1005);
    EXPECT_EQ(window.SendMessage(kPing, 7), 1007);
    EXPECT_EQ(CWnd::FromHandle(hwnd), &window);
}

TEST_F(WndTest, DefaultGivesTheDefaultWindowProcessing) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateEx(0, kTestClass, "before", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(window.GetWindowText(), "before");

    window.SetWindowText("after");
    EXPECT_TRUE(Saw(window.messages, WM_SETTEXT));
    EXPECT_EQ(TextOf(window.GetSafeHwnd()), "after");
    // A message nobody handles gets DefWindowProc's answer.
    EXPECT_EQ(window.SendMessage(WM_APP + 99), 0);
}

TEST_F(WndTest, FromHandleFindsOnlyBoundWindows) {
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

    HWND plain = CreateRaw("STATIC");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(CWnd::FromHandle(plain), nullptr);
    DestroyWindow(plain);

    // A window of an own class that no CreateEx made (as a dialog template would create it) stays unbound even when
    // it passes creation data, and works with the default processing.
    int creationData = 42;
    HWND orphan = CreateWindowExA(0, kTestClass, "orphan", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), &creationData);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(CWnd::FromHandle(orphan), nullptr);
    EXPECT_EQ(TextOf(orphan), "orphan");

    // Such a window can be subclassed later, like any control.
    RecordingWindow late;
    ASSERT_TRUE(late.SubclassWindow(orphan));
    EXPECT_EQ(CWnd::FromHandle(orphan), &late);
    EXPECT_EQ(SendMessageA(orphan, kPing, 1, 0), 1001);
    EXPECT_EQ(late.UnsubclassWindow(), orphan);
    DestroyWindow(orphan);
}

// The three ways a binding ends: the object destroys its window, someone else destroys it, or the control the object
// subclassed is destroyed. Each time the binding is gone before the final message, which comes after WM_NCDESTROY.
enum class BindingEnd { OwnDestroyWindow, DestroyedFromOutside, SubclassedControlDestroyed };

class WndBindingEnd : public WndTest, public testing::WithParamInterface<BindingEnd> {};

TEST_P(WndBindingEnd, ClearsTheBindingBeforeTheFinalMessage) {
    RecordingWindow window;
    HWND hwnd = nullptr;
    if (GetParam() == BindingEnd::SubclassedControlDestroyed) {
        hwnd = CreateRaw("EDIT");
        ASSERT_TRUE(window.SubclassWindow(hwnd));
    } else {
        ASSERT_TRUE(window.CreateEx(0, kTestClass, "own", WS_POPUP, kSmall, nullptr, 0));
        hwnd = window.GetSafeHwnd();
    }
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
    // The object can bind a new window afterwards.
    ASSERT_TRUE(window.CreateEx(0, kTestClass, "again", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(window.SendMessage(kPing, 2), 1002);
}

INSTANTIATE_TEST_SUITE_P(Wnd, WndBindingEnd,
                         testing::Values(BindingEnd::OwnDestroyWindow, BindingEnd::DestroyedFromOutside,
                                         BindingEnd::SubclassedControlDestroyed));

TEST_F(WndTest, DestructorDestroysTheWindowItCreated) {
    auto window = std::make_unique<RecordingWindow>();
    ASSERT_TRUE(window->CreateEx(0, kTestClass, "own", WS_POPUP, kSmall, nullptr, 0));
    HWND own = window->GetSafeHwnd();
    auto button = std::make_unique<RecordingWindow>();
    ASSERT_TRUE(button->CreateEx(0, "BUTTON", "button", WS_POPUP, kSmall, nullptr, 0));
    HWND system = button->GetSafeHwnd();

    window.reset();
    button.reset();
    EXPECT_FALSE(IsWindow(own));
    EXPECT_FALSE(IsWindow(system));
}

TEST_F(WndTest, CreateExOfASystemClassSubclassesTheNewControl) {
    RecordingWindow button;
    ASSERT_TRUE(button.CreateEx(0, "BUTTON", "Go", WS_POPUP | BS_PUSHBUTTON, kSmall, nullptr, 0));
    HWND hwnd = button.GetSafeHwnd();
    EXPECT_EQ(CWnd::FromHandle(hwnd), &button);
    EXPECT_EQ(SendMessageA(hwnd, kPing, 3, 0), 1003);
    // The button's own processing still answers.
    SendMessageA(hwnd, BM_SETSTATE, TRUE, 0);
    EXPECT_NE(SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(TextOf(hwnd), "Go");
}

TEST_F(WndTest, SubclassedControlReachesTheObjectUntilUnsubclassedAndKeepsWorking) {
    HWND edit = CreateRaw("EDIT");
    ASSERT_NE(edit, nullptr);
    {
        RecordingWindow object;
        ASSERT_TRUE(object.SubclassWindow(edit));
        EXPECT_EQ(object.GetSafeHwnd(), edit);
        EXPECT_EQ(CWnd::FromHandle(edit), &object);
        EXPECT_EQ(SendMessageA(edit, kPing, 4, 0), 1004);
        SetWindowTextA(edit, "typed");
        EXPECT_TRUE(Saw(object.messages, WM_SETTEXT));
        EXPECT_EQ(TextOf(edit), "typed");

        EXPECT_EQ(object.UnsubclassWindow(), edit);
        EXPECT_EQ(object.GetSafeHwnd(), nullptr);
        EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
        const size_t seen = object.messages.size();
        EXPECT_EQ(SendMessageA(edit, kPing, 4, 0), 0);
        SetWindowTextA(edit, "still an edit");
        EXPECT_EQ(object.messages.size(), seen);
        EXPECT_EQ(TextOf(edit), "still an edit");
        EXPECT_EQ(object.UnsubclassWindow(), nullptr);
    }
    // Subclassing again (the same id is used for install and removal) and leaving it to the destructor.
    {
        RecordingWindow object;
        ASSERT_TRUE(object.SubclassWindow(edit));
        EXPECT_EQ(SendMessageA(edit, kPing, 6, 0), 1006);
    }
    EXPECT_TRUE(IsWindow(edit)) << "an object that only subclassed a window must not destroy it";
    EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
    EXPECT_EQ(SendMessageA(edit, kPing, 6, 0), 0);
    SetWindowTextA(edit, "after");
    EXPECT_EQ(TextOf(edit), "after");
    DestroyWindow(edit);
}

TEST_F(WndTest, SubclassDlgItemFindsTheControlById) {
    RecordingWindow parent;
    ASSERT_TRUE(parent.CreateEx(0, kTestClass, "parent", WS_POPUP, kSmall, nullptr, 0));
    HWND edit = CreateRaw("EDIT", WS_CHILD, parent.GetSafeHwnd(), 42);
    ASSERT_NE(edit, nullptr);

    RecordingWindow missing;
    EXPECT_FALSE(missing.SubclassDlgItem(43, parent.GetSafeHwnd()));
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);

    RecordingWindow item;
    ASSERT_TRUE(item.SubclassDlgItem(42, parent.GetSafeHwnd()));
    EXPECT_EQ(item.GetSafeHwnd(), edit);
    EXPECT_EQ(SendMessageA(edit, kPing, 8, 0), 1008);
}

// Reflection: what a control sends its parent reaches the control's object first.
class ReflectionTest : public WndTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, kTestClass, "parent", WS_POPUP, kSmall, nullptr, 0));
        ASSERT_TRUE(child.CreateEx(0, "BUTTON", "child", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {5, 5, 60, 25},
                                   parent.GetSafeHwnd(), kChildId));
    }

    static constexpr int kChildId = 10;
    AnsweringParent parent;
    NotifiedChild child;
};

struct ReflectedCase {
    const char* name;
    UINT message;
};

// Each notification a control sends its parent, with the parameters that name the control.
class ReflectedMessage {
public:
    ReflectedMessage(UINT message, HWND child, int id) : message(message) {
        header = {child, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
        drawItem.CtlType = ODT_BUTTON;
        drawItem.CtlID = static_cast<UINT>(id);
        drawItem.hwndItem = child;
        measureItem.CtlType = ODT_LISTBOX;
        measureItem.CtlID = static_cast<UINT>(id);
        wParam = static_cast<WPARAM>(id);
        lParam = reinterpret_cast<LPARAM>(child); // WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL
        if (message == WM_COMMAND)
            wParam = MAKEWPARAM(id, BN_CLICKED);
        else if (message == WM_NOTIFY)
            lParam = reinterpret_cast<LPARAM>(&header);
        else if (message == WM_DRAWITEM)
            lParam = reinterpret_cast<LPARAM>(&drawItem);
        else if (message == WM_MEASUREITEM)
            lParam = reinterpret_cast<LPARAM>(&measureItem);
    }
    LRESULT SendTo(HWND parent) { return SendMessageA(parent, message, wParam, lParam); }

    UINT message;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    NMHDR header = {};
    DRAWITEMSTRUCT drawItem = {};
    MEASUREITEMSTRUCT measureItem = {};
};

TEST_F(ReflectionTest, EachReflectedNotificationReachesTheChildFirstOrElseTheParent) {
    const ReflectedCase cases[] = {
        {"WM_COMMAND", WM_COMMAND},
        {"WM_NOTIFY", WM_NOTIFY},
        {"WM_DRAWITEM", WM_DRAWITEM},
        {"WM_MEASUREITEM", WM_MEASUREITEM},
        {"WM_CTLCOLORBTN", WM_CTLCOLORBTN},
        {"WM_CTLCOLORSTATIC", WM_CTLCOLORSTATIC},
        {"WM_CTLCOLOREDIT", WM_CTLCOLOREDIT},
        {"WM_CTLCOLORLISTBOX", WM_CTLCOLORLISTBOX},
        {"WM_CTLCOLORSCROLLBAR", WM_CTLCOLORSCROLLBAR},
        {"WM_HSCROLL", WM_HSCROLL},
        {"WM_VSCROLL", WM_VSCROLL},
    };
    for (const ReflectedCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReflectedMessage reflected(c.message, child.GetSafeHwnd(), kChildId);
        parent.answeredMessage = c.message;
        parent.parentAnswer = 55;

        // The child takes it: its answer is the parent's, and the parent never sees the message.
        child.handledMessage = c.message;
        child.answer = 4321;
        child.notified.clear();
        parent.messages.clear();
        EXPECT_EQ(reflected.SendTo(parent.GetSafeHwnd()), 4321);
        EXPECT_TRUE(Saw(child.notified, c.message));
        EXPECT_FALSE(Saw(parent.messages, c.message));

        // The child leaves it: the parent's message map has it and answers.
        child.handledMessage = 0;
        child.notified.clear();
        EXPECT_EQ(reflected.SendTo(parent.GetSafeHwnd()), 55);
        EXPECT_TRUE(Saw(child.notified, c.message));
        EXPECT_TRUE(Saw(parent.messages, c.message));
    }
}

TEST_F(ReflectionTest, ARealButtonClickReachesTheButtonObjectFirst) {
    child.handledMessage = WM_COMMAND;
    SendMessageA(child.GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(Saw(child.notified, WM_COMMAND));
    EXPECT_FALSE(Saw(parent.messages, WM_COMMAND));

    child.handledMessage = 0;
    SendMessageA(child.GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(Saw(parent.messages, WM_COMMAND));
}

TEST_F(ReflectionTest, MessagesWithoutAControlAreNotReflected) {
    child.handledMessage = WM_COMMAND;
    // A menu command names no control.
    SendMessageA(parent.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kChildId, 0), 0);
    EXPECT_TRUE(child.notified.empty());
    EXPECT_TRUE(Saw(parent.messages, WM_COMMAND));

    // An owner-drawn menu item is the parent's own.
    child.handledMessage = WM_DRAWITEM;
    DRAWITEMSTRUCT menuItem = {};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = child.GetSafeHwnd(); // where a menu handle would be: must not be taken for a control
    SendMessageA(parent.GetSafeHwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem));
    EXPECT_TRUE(child.notified.empty());
    EXPECT_TRUE(Saw(parent.messages, WM_DRAWITEM));

    // A colour request about the window itself is not sent back to it as a child notification.
    SendMessageA(parent.GetSafeHwnd(), WM_CTLCOLORDLG, 0, reinterpret_cast<LPARAM>(parent.GetSafeHwnd()));
    EXPECT_TRUE(parent.ownNotified.empty());
}

TEST_F(ReflectionTest, AControlWithoutAnObjectLeavesItsNotificationsToTheParent) {
    HWND plain = CreateRaw("BUTTON", WS_CHILD, parent.GetSafeHwnd(), 11);
    ReflectedMessage reflected(WM_NOTIFY, plain, 11);
    parent.answeredMessage = WM_NOTIFY;
    parent.parentAnswer = 66;
    EXPECT_EQ(reflected.SendTo(parent.GetSafeHwnd()), 66);
    EXPECT_TRUE(child.notified.empty());
}

// PreTranslateMessage: the walk from the message's window up to its top-level window.
class PreTranslatingWindow : public RecordingWindow {
public:
    std::vector<HWND>* order = nullptr;
    bool eats = false;

    bool PreTranslateMessage(MSG*) override {
        order->push_back(GetSafeHwnd());
        return eats;
    }
};

TEST_F(WndTest, PreTranslateChainWalksFromTheMessageWindowUpToTheTopLevelWindow) {
    std::vector<HWND> order;
    PreTranslatingWindow top;
    top.order = &order;
    ASSERT_TRUE(top.CreateEx(0, kTestClass, "top", WS_POPUP, kSmall, nullptr, 0));
    HWND middle = CreateRaw("STATIC", WS_CHILD, top.GetSafeHwnd(), 1); // no object: skipped
    PreTranslatingWindow inner;
    inner.order = &order;
    ASSERT_TRUE(inner.CreateEx(0, "BUTTON", "inner", WS_CHILD, {0, 0, 10, 10}, middle, 2));

    MSG msg = {};
    msg.hwnd = inner.GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(CWnd::PreTranslateChain(&msg));
    EXPECT_EQ(order, (std::vector<HWND>{inner.GetSafeHwnd(), top.GetSafeHwnd()}));

    order.clear();
    inner.eats = true;
    EXPECT_TRUE(CWnd::PreTranslateChain(&msg));
    EXPECT_EQ(order, (std::vector<HWND>{inner.GetSafeHwnd()}));

    // Another top-level window (an owned popup) is not part of the walk.
    PreTranslatingWindow owned;
    owned.order = &order;
    ASSERT_TRUE(owned.CreateEx(0, kTestClass, "owned", WS_POPUP, kSmall, top.GetSafeHwnd(), 0));
    order.clear();
    msg.hwnd = owned.GetSafeHwnd();
    EXPECT_FALSE(CWnd::PreTranslateChain(&msg));
    EXPECT_EQ(order, (std::vector<HWND>{owned.GetSafeHwnd()}));
}

} // namespace
