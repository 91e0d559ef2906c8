#pragma once

#include "gui/SplashDlg.h"

#include "framework/WinThread.h"

#include <atomic>
#include <memory>

// The thread that shows the splash window while the main thread builds the main window. Its input is attached to
// the main thread's, so that the two share activation and keyboard state.
class CSplashThread : public CWinThread {
public:
    // mainThreadId: the thread whose input the splash thread attaches to.
    explicit CSplashThread(DWORD mainThreadId);
    // Ends the thread (and with it the splash window) if it still runs.
    ~CSplashThread() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // Waits (for a bounded time) until the splash thread has made and shown its window, or failed to. True when it
    // made one.
    bool WaitForWindow();
    // Called on the main thread: closes the splash window with a synchronous WM_CLOSE. Waits first until the splash
    // thread has made its window, so that a thread that started late cannot show the splash over a main window that
    // is already up.
    void CloseSplash();
    // The splash window, or null before it exists and after it is gone.
    HWND GetSplashWindow() const { return splashWindow.load(); }

private:
    DWORD mainThreadId;
    std::unique_ptr<CSplashDlg> splashDialog;
    std::atomic<HWND> splashWindow = nullptr;
    HANDLE windowMade = nullptr; // set once the thread has made its window, or failed to
};

// Starts the splash thread as start-up does: suspended, normal priority, then resumed. Null when the thread cannot
// be started; the program then simply shows no splash.
std::unique_ptr<CSplashThread> StartSplashThread();
