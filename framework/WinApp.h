#pragma once

#include "framework/WinThread.h"

class CWnd;

// The process's one application object: constructed during static initialisation, run by WinMain on the main thread.
// The program overrides InitInstance; returning false from it (after running the main window as a modal dialog) ends
// the process without a message loop of the application's own.
class CWinApp : public CWinThread {
public:
    CWinApp();
    ~CWinApp() override;

    static CWinApp* GetApp();
    // The instance WinMain was given; the executable's own before that.
    HINSTANCE GetInstance() const;
    void SetMainWindow(CWnd* window) { appMainWindow = window; }
    CWnd* GetMainWindow() const { return appMainWindow; }
    // What WinMain calls: the calling thread becomes the application's thread; InitInstance, then Run when it returns
    // true or ExitInstance when it returns false. Returns the process's exit code.
    int RunApplication(HINSTANCE instance);

private:
    HINSTANCE appInstance = nullptr;
    CWnd* appMainWindow = nullptr;
};
