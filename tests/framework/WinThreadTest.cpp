// CWinThread: a user-interface thread with a window of its own, thread messages, and the ways a thread ends.
#include "framework/WinThread.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

constexpr char kThreadWindowClass[] = "MovaraThreadTestWindow";
constexpr UINT kAsk = WM_APP + 20;        // answered with 2 × wParam by the thread's window
constexpr UINT kThreadNote = WM_APP + 21; // a thread message, recorded by PreTranslateMessage
constexpr DWORD kHangGuard = 10000;       // only so that a broken thread fails the test instead of hanging it

// Lives on the UI thread and answers kAsk there.
class AnsweringWindow : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        return message == kAsk ? static_cast<LRESULT>(2 * wParam) : CWnd::WindowProc(message, wParam, lParam);
    }
};

// A UI thread that owns an AnsweringWindow, like the splash thread owns its window.
class WindowThread : public CWinThread {
public:
    WindowThread() : ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~WindowThread() override { CloseHandle(ready); }

    HANDLE ready;
    std::atomic<HWND> window = nullptr;
    std::atomic<int> exitCalls = 0;
    std::vector<WPARAM> notes; // read once the thread has ended

    bool InitInstance() override {
        answering = std::make_unique<AnsweringWindow>();
        if (!answering->CreateEx(0, kThreadWindowClass, "thread", WS_POPUP, {0, 0, 10, 10}, nullptr, 0))
            return false;
        window = answering->GetSafeHwnd();
        SetEvent(ready);
        return true;
    }
    int ExitInstance() override {
        ++exitCalls;
        answering.reset(); // the window is destroyed on its own thread
        return CWinThread::ExitInstance();
    }
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message != kThreadNote)
            return CWinThread::PreTranslateMessage(msg);
        notes.push_back(msg->wParam);
        return true;
    }

private:
    std::unique_ptr<AnsweringWindow> answering;
};

class WinThreadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(CWnd::RegisterWindowClass(kThreadWindowClass)); }

    static DWORD ExitCodeAfterEnd(HANDLE thread) {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(thread, kHangGuard) == WAIT_OBJECT_0)
            GetExitCodeThread(thread, &code);
        return code;
    }
};

TEST_F(WinThreadTest, UiThreadKeepsAMessagePostedAtOnceOwnsAWindowAnswersAcrossThreadsAndEndsOnWmQuit) {
    WindowThread thread;
    ASSERT_TRUE(thread.CreateThread());
    // Posted before the thread could have made its queue: not lost.
    EXPECT_TRUE(thread.PostThreadMessage(kThreadNote, 5, 0));
    ASSERT_EQ(WaitForSingleObject(thread.ready, kHangGuard), static_cast<DWORD>(WAIT_OBJECT_0));
    HWND window = thread.window;
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), thread.GetThreadId());
    EXPECT_EQ(SendMessageA(window, kAsk, 21, 0), 42) << "answered by the thread's loop";
    EXPECT_TRUE(thread.PostThreadMessage(WM_QUIT, 9, 0));

    EXPECT_EQ(ExitCodeAfterEnd(thread.GetThreadHandle()), 9u);
    EXPECT_EQ(thread.exitCalls.load(), 1);
    EXPECT_EQ(thread.notes, (std::vector<WPARAM>{5}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(thread.PostThreadMessage(kThreadNote, 0, 0)) << "the thread has ended";
}

} // namespace
