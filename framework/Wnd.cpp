#include "framework/Wnd.h"

#include "framework/Assert.h"

#include <commctrl.h>

#include <mutex>
#include <unordered_map>
#include <utility>

namespace {

// The one id under which CWnd subclasses a window, used for both SetWindowSubclass and RemoveWindowSubclass: a
// removal under another id would silently leave the subclass, and its pointer to a dead object, in place.
constexpr UINT_PTR kSubclassId = 0x4D6F7661; // "Mova"

// The object CreateEx is creating on this thread, until its window's WM_NCCREATE binds it. Checked against
// lpCreateParams, because a window of an own class that a dialog template creates passes the template's creation
// data (or nothing) there, which must not be taken for an object.
thread_local CWnd* windowBeingCreated = nullptr;

// FromHandle's lookup for a subclassed window (a window of an own class keeps its object in GWLP_USERDATA): the
// subclassed windows of the process, for any thread to read. MinGW's import library has no GetWindowSubclass, and
// reflection looks the child up for each of the hundreds of custom-draw notifications of one list paint, so the
// lookup stays in the process rather than asking the window system.
class SubclassedWindows {
public:
    void Add(HWND window, CWnd* object) {
        std::lock_guard<std::mutex> hold(lock);
        objects[window] = object;
    }
    void Remove(HWND window) {
        std::lock_guard<std::mutex> hold(lock);
        objects.erase(window);
    }
    CWnd* Find(HWND window) {
        std::lock_guard<std::mutex> hold(lock);
        const auto found = objects.find(window);
        return found == objects.end() ? nullptr : found->second;
    }

private:
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> objects;
};

SubclassedWindows& Subclassed() {
    static SubclassedWindows windows;
    return windows;
}

// No exception may unwind through the system's code that called a window procedure: report it as the programmer
// error it is and give the system a neutral answer.
template <class Handler> LRESULT Guarded(Handler&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        MOVARA_ASSERT(false && "an exception reached a window procedure");
        return 0;
    }
}

// The control that sent a notification to its parent, or nullptr when the message is not one that is reflected
// (menus and accelerators send WM_COMMAND with no control, a window's own scroll bars send WM_HSCROLL without one).
HWND ReflectedChild(HWND parent, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header ? header->hwndFrom : nullptr;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        // The only notification that names its control by id alone.
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(item->CtlID)) : nullptr;
    }
    default: return nullptr;
    }
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (!hwnd)
        return;
    // Window procedures run on the window's own thread, and a subclass can only be removed there.
    MOVARA_ASSERT(GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId());
    if (ownsWindow)
        ::DestroyWindow(hwnd); // its WM_NCDESTROY unbinds
    Unbind();
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window)
        return nullptr;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) == ClassWindowProc) {
        if (auto* object = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
            return object;
    }
    return Subclassed().Find(window);
}

bool CWnd::RegisterWindowClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing))
        return existing.lpfnWndProc == ClassWindowProc;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = ClassWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR id) {
    MOVARA_ASSERT(hwnd == nullptr);
    if (hwnd)
        return false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    const bool ownClass = GetClassInfoExA(instance, className, &info) && info.lpfnWndProc == ClassWindowProc;
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(id) : nullptr;

    windowBeingCreated = ownClass ? this : nullptr;
    HWND created = CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parent, menuOrId, instance, ownClass ? this : nullptr);
    windowBeingCreated = nullptr;
    if (!created)
        return false;
    if (!ownClass && !BindBySubclass(created, true)) {
        ::DestroyWindow(created);
        return false;
    }
    MOVARA_ASSERT(hwnd == created);
    ownsWindow = true;
    return true;
}

bool CWnd::SubclassWindow(HWND window) {
    // One object per window: a second one would take the first one's messages and leave it bound to nothing.
    MOVARA_ASSERT(hwnd == nullptr && FromHandle(window) == nullptr);
    if (hwnd || !window || FromHandle(window))
        return false;
    return BindBySubclass(window, false);
}

bool CWnd::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
    // A window of an own class cannot go on without its object: its class procedure is this layer's.
    MOVARA_ASSERT(hwnd == nullptr || subclassed);
    if (!hwnd || !subclassed)
        return nullptr;
    HWND window = hwnd;
    Unbind();
    return window;
}

bool CWnd::DestroyWindow() {
    return hwnd && ::DestroyWindow(hwnd);
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

bool CWnd::PreTranslateChain(MSG* msg) {
    HWND window = msg->hwnd;
    while (window) {
        // Read before the call: a handler may destroy its window.
        HWND parent = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? ::GetParent(window) : nullptr;
        CWnd* object = FromHandle(window);
        if (object && object->PreTranslateMessage(msg))
            return true;
        window = parent;
    }
    return false;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(hwnd, message, wParam, lParam);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(hwnd, message, wParam, lParam) != FALSE;
}

HWND CWnd::GetDlgItem(int id) const {
    return ::GetDlgItem(hwnd, id);
}

RECT CWnd::GetClientRect() const {
    RECT rect = {};
    ::GetClientRect(hwnd, &rect);
    return rect;
}

void CWnd::Invalidate(bool erase) const {
    ::InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
}

bool CWnd::ShowWindow(int command) const {
    return ::ShowWindow(hwnd, command) != FALSE;
}

void CWnd::SetWindowText(const char* text) const {
    ::SetWindowTextA(hwnd, text);
}

std::string CWnd::GetWindowText() const {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT milliseconds) const {
    return ::SetTimer(hwnd, id, milliseconds, nullptr);
}

bool CWnd::KillTimer(UINT_PTR id) const {
    return ::KillTimer(hwnd, id) != FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    MOVARA_ASSERT(hwnd != nullptr);
    if (!hwnd)
        return 0;
    return subclassed ? DefSubclassProc(hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

void CWnd::OnFinalMessage(HWND) {}

bool CWnd::BindBySubclass(HWND window, bool owned) {
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    Subclassed().Add(window, this);
    hwnd = window;
    subclassed = true;
    ownsWindow = owned;
    return true;
}

LRESULT CALLBACK CWnd::ClassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* object = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!object && message == WM_NCCREATE && windowBeingCreated &&
        reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams == windowBeingCreated) {
        object = std::exchange(windowBeingCreated, nullptr);
        object->hwnd = window;
        object->subclassed = false;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    // Messages before WM_NCCREATE (WM_GETMINMAXINFO), and every message of a window a template created and nobody
    // has subclassed yet, get the default processing.
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    return Guarded([&] { return object->RouteMessage(window, message, wParam, lParam); });
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR refData) {
    auto* object = reinterpret_cast<CWnd*>(refData);
    return Guarded([&] { return object->RouteMessage(window, message, wParam, lParam); });
}

LRESULT CWnd::RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        // The object still sees WM_NCDESTROY bound, so that Default passes it on. Only then the binding goes, and the
        // subclass with it: a window that outlived its object's binding would call into a dead object. The final
        // hook comes last because the object may delete itself there.
        LRESULT result = WindowProc(message, wParam, lParam);
        Unbind();
        OnFinalMessage(window);
        return result;
    }
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, &result))
        return result;
    return WindowProc(message, wParam, lParam);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = ReflectedChild(hwnd, message, wParam, lParam);
    CWnd* object = child && child != hwnd ? FromHandle(child) : nullptr;
    return object && object->OnChildNotify(message, wParam, lParam, result);
}

void CWnd::Unbind() {
    if (!hwnd)
        return;
    if (subclassed) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        Subclassed().Remove(hwnd);
    } else
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
    subclassed = false;
    ownsWindow = false;
}
