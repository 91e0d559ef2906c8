#pragma once

#include "framework/Wnd.h"

// A dialog from a template in the executable's own resources, modal (DoModal) or modeless (Create).
//
// The dialog is bound at WM_INITDIALOG by subclassing it, so WindowProc and Default work with LRESULT answers like
// any CWnd (no DWLP_MSGRESULT), reflection reaches its controls, and OnInitDialog runs with the object bound: that is
// where a derived dialog attaches its control objects (SubclassDlgItem). Messages the dialog gets while its controls
// are being created, before WM_INITDIALOG, have the default dialog processing only.
//
// Commands: IDOK → OnOK, IDCANCEL → OnCancel; Escape (through IsDialogMessage) and WM_CLOSE end as IDCANCEL too.
// PreTranslateMessage (from CWnd, default false) sees every message the modal loop takes from the queue before
// IsDialogMessage does.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);

    // Runs the dialog in a message loop of its own, with its owner disabled meanwhile, and returns the code given to
    // EndDialog; -1 when the template cannot be created or the loop ends without EndDialog (WM_QUIT, which is posted
    // again for the thread's own loop, or the window destroyed by other means).
    INT_PTR DoModal();
    // A modeless dialog from the same template; shown if the template says WS_VISIBLE, otherwise by the caller.
    bool Create(HWND parent = nullptr);
    // Ends the modal loop with result, or destroys a modeless dialog.
    void EndDialog(INT_PTR result);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT templateId;
    HWND parentWindow;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND parent);
    void RunModalLoop();
    bool PreTranslateModal(MSG* msg);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose();

    bool modal = false;
    bool endRequested = false;
    INT_PTR modalResult = -1;
};
