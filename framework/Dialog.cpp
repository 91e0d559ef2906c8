#include "framework/Dialog.h"

#include "framework/Assert.h"

CDialog::CDialog(UINT templateId, HWND parent) : templateId(templateId), parentWindow(parent) {}

INT_PTR CDialog::DoModal() {
    MOVARA_ASSERT(GetSafeHwnd() == nullptr);
    if (GetSafeHwnd())
        return -1;
    modal = true;
    endRequested = false;
    modalResult = -1;
    HWND window = CreateFromTemplate(parentWindow);
    if (!window) {
        modal = false;
        return -1;
    }

    // As with the system's modal dialogs, the owner takes no input while the dialog runs. An owner that was disabled
    // already stays so afterwards.
    HWND owner = GetWindow(window, GW_OWNER);
    const bool ownerDisabled = owner && IsWindowEnabled(owner);
    if (ownerDisabled)
        EnableWindow(owner, FALSE);
    if (!endRequested)
        ::ShowWindow(window, SW_SHOW);
    RunModalLoop();

    // The owner is enabled before the dialog goes, so that activation returns to it and not to some other program's
    // window.
    if (ownerDisabled)
        EnableWindow(owner, TRUE);
    if (IsWindow(window)) {
        if (owner && GetActiveWindow() == window)
            SetActiveWindow(owner);
        ::DestroyWindow(window);
    }
    modal = false;
    return modalResult;
}

bool CDialog::Create(HWND parent) {
    MOVARA_ASSERT(GetSafeHwnd() == nullptr);
    if (GetSafeHwnd())
        return false;
    modal = false;
    return CreateFromTemplate(parent ? parent : parentWindow) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!modal) {
        DestroyWindow();
        return;
    }
    modalResult = result;
    endRequested = true;
    // The loop notices after the message being dispatched returns. A message sent from another thread is handled
    // inside GetMessage, which would go on waiting: give it something to return with.
    PostMessage(WM_NULL);
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CLOSE: return OnClose();
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only a dialog's first WM_INITDIALOG does anything here. Once bound, the subclass sees every message first,
    // and what its Default passes on reaches this procedure through the dialog class's processing: FALSE lets that
    // processing go on.
    if (message != WM_INITDIALOG || FromHandle(window))
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog->BindBySubclass(window, true))
        return FALSE;
    // The WM_INITDIALOG in progress started before the subclass existed, so it is handed to the message map here.
    try {
        return dialog->WindowProc(message, wParam, lParam);
    } catch (...) {
        MOVARA_ASSERT(false && "an exception reached a dialog procedure");
        return FALSE;
    }
}

HWND CDialog::CreateFromTemplate(HWND parent) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

void CDialog::RunModalLoop() {
    HWND window = GetSafeHwnd();
    MSG msg = {};
    while (!endRequested && GetSafeHwnd()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // WM_QUIT belongs to the thread's own loop: put it back for that loop and give up this dialog.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (PreTranslateModal(&msg) || IsDialogMessageA(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool CDialog::PreTranslateModal(MSG* msg) {
    if (PreTranslateChain(msg))
        return true;
    // The chain reached this dialog only for its own messages and its controls'; it sees all the others too.
    HWND window = GetSafeHwnd();
    const bool inside = msg->hwnd == window || IsChild(window, msg->hwnd);
    return !inside && PreTranslateMessage(msg);
}

LRESULT CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A click, a menu and IsDialogMessage's Enter and Escape all arrive as BN_CLICKED (0); other notification codes
    // from controls that happen to carry these ids are not commands.
    if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK)
        OnOK();
    else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL)
        OnCancel();
    else
        return Default(WM_COMMAND, wParam, lParam);
    return 0;
}

LRESULT CDialog::OnClose() {
    // Handled here rather than by the dialog class, which only posts an IDCANCEL command: a WM_CLOSE sent from another
    // thread has then ended the dialog by the time SendMessage returns.
    OnCancel();
    return 0;
}
