#pragma once

#include <windows.h>

#include <string>

// <windowsx.h> defines SubclassWindow as a two-argument macro, which would break the member of that name.
#ifdef SubclassWindow
#undef SubclassWindow
#endif

// A C++ object bound to one window. Two ways to bind:
//
// - Windows of a class registered with RegisterWindowClass and created through CreateEx: the class's procedure
//   binds the object at WM_NCCREATE (from lpCreateParams) into GWLP_USERDATA, so the object sees every message
//   from WM_NCCREATE on.
// - Any other window (a control a dialog template made, a "BUTTON" created through CreateEx, a dialog):
//   SetWindowSubclass with this object as reference data, under one subclass id for install and removal.
//
// Either way WindowProc is the object's message map, Default passes a message on to whatever processed it before,
// and at WM_NCDESTROY the binding is cleared before OnFinalMessage runs (the object may delete itself there).
//
// Notifications that a control sends to its parent (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM,
// WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL) are offered to the control's own object first (OnChildNotify), so that a
// control reacts and paints inside its own class; what it leaves reaches the parent's WindowProc.
//
// Handlers run during the virtual dispatch of a fully constructed object only: ~CWnd destroys the window it made,
// but by then a derived class's handlers are gone, so a class that must see its own WM_DESTROY calls DestroyWindow
// in its own destructor.
class CWnd {
public:
    CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys a window this object created; un-subclasses one it only subclassed.
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return hwnd; }
    // The object bound to the window, or nullptr: GWLP_USERDATA of an own-class window, the process's table of
    // subclassed windows for any other.
    static CWnd* FromHandle(HWND window);

    // Registers a class (in the executable's instance) whose procedure binds CWnd objects. Registering a class
    // that already exists with this procedure succeeds.
    static bool RegisterWindowClass(const char* className, UINT style = 0, HCURSOR cursor = nullptr,
                                    HBRUSH background = nullptr, HICON icon = nullptr);

    // A class from RegisterWindowClass is bound at WM_NCCREATE; any other class (e.g. "BUTTON") is subclassed right
    // after creation. id becomes the control id of a child window.
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR id);
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    // Ends a subclassing binding and returns the window, which keeps working without this object.
    HWND UnsubclassWindow();
    bool DestroyWindow();

    // Called by message loops for each bound window from the message's own window up to its top-level window,
    // innermost first, before the message is translated and dispatched: true eats the message.
    virtual bool PreTranslateMessage(MSG* msg);
    // Runs that walk for msg; true when one of the windows ate it.
    static bool PreTranslateChain(MSG* msg);

    // Small helpers on the bound window.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const;
    RECT GetClientRect() const;
    void Invalidate(bool erase = true) const;
    bool ShowWindow(int command) const;
    void SetWindowText(const char* text) const;
    std::string GetWindowText() const;
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) const;
    bool KillTimer(UINT_PTR id) const;

protected:
    // The message map: one line per handled message, everything else to CWnd::WindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the message would have had without this object: DefSubclassProc for a subclassed window,
    // DefWindowProc for a window of an own class.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification the parent reflected to this control, before the parent sees it: return true when handled,
    // with *result the answer the parent returns; false lets the parent's WindowProc have it as usual.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // After WM_NCDESTROY, with the object no longer bound; the object may delete itself here.
    virtual void OnFinalMessage(HWND window);

    // For CDialog, which binds at WM_INITDIALOG by subclassing and owns a modeless dialog it created.
    bool BindBySubclass(HWND window, bool owned);

private:
    static LRESULT CALLBACK ClassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    LRESULT RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void Unbind();

    HWND hwnd = nullptr;
    bool subclassed = false; // bound through SetWindowSubclass rather than GWLP_USERDATA
    bool ownsWindow = false; // created by this object, so destroyed by it
};
