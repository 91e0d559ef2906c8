#include "framework/WinThread.h"

#include "framework/Assert.h"
#include "framework/Dialog.h"

#include <process.h>

namespace {

// Bounds for waiting on another thread: a healthy thread starts and ends within milliseconds, and the limits keep a
// stuck one from hanging its owner for ever.
constexpr DWORD kQueueWait = 5000;
constexpr DWORD kEndWait = 5000;

// Waits for a thread to end while answering messages that other threads send to this one: the ending thread may
// send to a window of this thread (its owner, or any window once input is attached with AttachThreadInput) and would
// wait for us while we wait for it.
bool WaitForThreadEnd(HANDLE thread, DWORD timeout) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout)
            return false;
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, timeout - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg = {};
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE); // handles the sent ones only
    }
}

} // namespace

CWinThread::CWinThread() : queueReady(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CWinThread::~CWinThread() {
    if (threadHandle && threadIdentifier != GetCurrentThreadId() &&
        WaitForSingleObject(threadHandle, 0) == WAIT_TIMEOUT) {
        if (suspended) {
            abandoned = true;
            while (::ResumeThread(threadHandle) > 1) {
            }
        } else {
            PostThreadMessage(WM_QUIT, 0, 0);
        }
        const bool ended = WaitForThreadEnd(threadHandle, kEndWait);
        MOVARA_ASSERT(ended && "the thread did not end on WM_QUIT");
    }
    if (threadHandle)
        CloseHandle(threadHandle);
    if (queueReady)
        CloseHandle(queueReady);
}

bool CWinThread::CreateThread(DWORD createFlags, UINT stackSize) {
    MOVARA_ASSERT(threadHandle == nullptr);
    if (threadHandle || !queueReady)
        return false;
    // Always created suspended, so that the handle and id are stored before the thread's own code can ask for them.
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, stackSize, ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (!handle)
        return false;
    threadHandle = reinterpret_cast<HANDLE>(handle);
    threadIdentifier = id;
    suspended = true;
    if (!(createFlags & CREATE_SUSPENDED))
        ResumeThread();
    return true;
}

DWORD CWinThread::ResumeThread() {
    const DWORD previous = ::ResumeThread(threadHandle);
    if (previous != static_cast<DWORD>(-1) && previous <= 1)
        suspended = false;
    return previous;
}

bool CWinThread::SetThreadPriority(int priority) {
    return ::SetThreadPriority(threadHandle, priority) != FALSE;
}

bool CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A new thread has no message queue until it first asks for one, and a message posted before that is refused.
    // A suspended thread cannot get one, so waiting for it would only stall.
    if (!threadHandle || WaitForSingleObject(queueReady, suspended ? 0 : kQueueWait) != WAIT_OBJECT_0)
        return false;
    return ::PostThreadMessageA(threadIdentifier, message, wParam, lParam) != FALSE;
}

bool CWinThread::InitInstance() {
    return false;
}

int CWinThread::Run() {
    MSG msg = {};
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

int CWinThread::ExitInstance() {
    return quitCode;
}

bool CWinThread::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateChain(msg))
        return true;
    // A modeless dialog gets Tab, Enter and Escape from the loop that runs it.
    HWND root = msg->hwnd ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    return dynamic_cast<CDialog*>(CWnd::FromHandle(root)) && IsDialogMessageA(root, msg);
}

void CWinThread::AdoptCurrentThread() {
    MOVARA_ASSERT(threadHandle == nullptr);
    if (threadHandle)
        return;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &threadHandle, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    threadIdentifier = GetCurrentThreadId();
    MSG msg = {};
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(queueReady);
}

unsigned __stdcall CWinThread::ThreadEntry(void* parameter) {
    auto* self = static_cast<CWinThread*>(parameter);
    MSG msg = {};
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // creates the queue
    SetEvent(self->queueReady);
    if (self->abandoned)
        return 0;
    // No exception may leave a thread's entry: it would end the process from inside the runtime's thread start.
    try {
        return static_cast<unsigned>(self->InitInstance() ? self->Run() : self->ExitInstance());
    } catch (...) {
        MOVARA_ASSERT(false && "an exception reached a thread's entry");
        return static_cast<unsigned>(-1);
    }
}
