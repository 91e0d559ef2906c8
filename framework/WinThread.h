#pragma once

#include <windows.h>

#include <atomic>

// A user-interface thread: InitInstance on the new thread, then a message loop of its own until WM_QUIT.
//
// The object must outlive its thread. The destructor ends a thread that still runs (WM_QUIT, or for one never
// resumed, a start that skips InitInstance) and waits for it, for a bounded time. By then a derived class's part of
// the object is gone, so a derived class whose ExitInstance matters ends the thread in its own destructor.
class CWinThread {
public:
    CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread();

    // Starts the thread; with CREATE_SUSPENDED it waits for ResumeThread.
    bool CreateThread(DWORD createFlags = 0, UINT stackSize = 0);
    // The previous suspend count, as the system function; (DWORD)-1 on failure.
    DWORD ResumeThread();
    bool SetThreadPriority(int priority);
    HANDLE GetThreadHandle() const { return threadHandle; }
    DWORD GetThreadId() const { return threadIdentifier; }
    // Also right after CreateThread: waits (bounded) until the new thread has its message queue. Fails at once while
    // the thread is still suspended.
    bool PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // On the new thread: true enters Run, false ends the thread through ExitInstance. Default false.
    virtual bool InitInstance();
    // The message loop; ends on WM_QUIT and returns ExitInstance's result.
    virtual int Run();
    // Default: the code WM_QUIT carried (0 when the loop never ran).
    virtual int ExitInstance();
    // Default: the bound windows from the message's window up to its top-level window (CWnd::PreTranslateChain), then
    // the dialog keyboard handling of that top-level window if it is a CDialog.
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    // For CWinApp: the calling thread becomes this object's thread.
    void AdoptCurrentThread();

private:
    static unsigned __stdcall ThreadEntry(void* parameter);

    HANDLE threadHandle = nullptr;
    DWORD threadIdentifier = 0;
    HANDLE queueReady = nullptr;         // set once the thread has a message queue
    bool suspended = false;              // created suspended and not resumed yet
    std::atomic<bool> abandoned = false; // destroyed before it ever ran: skip InitInstance
    int quitCode = 0;
};
