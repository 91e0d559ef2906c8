#include "gui/SplashThread.h"

namespace {

// A healthy splash thread makes its window within milliseconds of starting; the limits keep a stuck one from holding
// up the main window.
constexpr DWORD kWindowWait = 3000;
constexpr DWORD kEndWait = 3000;

} // namespace

CSplashThread::CSplashThread(DWORD mainThread)
    : mainThreadId(mainThread), windowMade(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CSplashThread::~CSplashThread() {
    HANDLE thread = GetThreadHandle();
    if (thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT && PostThreadMessage(WM_QUIT, 0, 0)) {
        // The ending thread destroys its window, which may send to this thread's windows (the input is attached):
        // answer sent messages while waiting.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kEndWait) {
            const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, kEndWait, QS_SENDMESSAGE);
            if (woken != WAIT_OBJECT_0 + 1)
                break;
            MSG msg = {};
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    // The base class's destructor takes care of a thread that is still there.
    if (windowMade)
        CloseHandle(windowMade);
}

bool CSplashThread::InitInstance() {
    AttachThreadInput(GetCurrentThreadId(), mainThreadId, TRUE);
    splashDialog = std::make_unique<CSplashDlg>();
    if (splashDialog->Create(nullptr)) {
        splashWindow = splashDialog->GetSafeHwnd();
        splashDialog->ShowWindow(SW_SHOW);
        UpdateWindow(splashDialog->GetSafeHwnd());
    }
    SetEvent(windowMade);
    return true;
}

int CSplashThread::ExitInstance() {
    splashWindow = nullptr;
    if (splashDialog) {
        splashDialog->DestroyWindow();
        splashDialog.reset();
    }
    return CWinThread::ExitInstance();
}

bool CSplashThread::WaitForWindow() {
    return WaitForSingleObject(windowMade, kWindowWait) == WAIT_OBJECT_0 && splashWindow.load() != nullptr;
}

void CSplashThread::CloseSplash() {
    WaitForWindow();
    HWND window = splashWindow.load();
    if (window && IsWindow(window))
        ::SendMessageA(window, WM_CLOSE, 0, 0);
}

std::unique_ptr<CSplashThread> StartSplashThread() {
    auto thread = std::make_unique<CSplashThread>(GetCurrentThreadId());
    if (!thread->CreateThread(CREATE_SUSPENDED))
        return nullptr;
    thread->SetThreadPriority(THREAD_PRIORITY_NORMAL);
    thread->ResumeThread();
    return thread;
}
