#include "tests/support/MessagePump.h"

#include "framework/Wnd.h"

namespace {

void Dispatch(MSG& msg, HWND dialog) {
    if (CWnd::PreTranslateChain(&msg))
        return;
    if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

} // namespace

void PumpPending(HWND dialog) {
    MSG msg = {};
    // A window with a pending paint keeps answering WM_PAINT until it validates; a bound keeps a faulty one from
    // holding the test forever.
    for (int i = 0; i < 100000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        Dispatch(msg, dialog);
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs, HWND dialog) {
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start >= limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending(dialog);
    }
    return true;
}
