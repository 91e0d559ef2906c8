#include "controls/RangeSlider.h"

#include "controls/SkinDrawing.h"

#include "resources/resource.h"

const UINT RANGE_CHANGED = RegisterWindowMessageA(kRangeChangedName);

namespace {

constexpr int kChannelY = 3;
constexpr int kChannelHeight = 11;
constexpr int kThumbHeight = 17;
constexpr int kBandY = 5;
constexpr int kBandHeight = 7;

HBITMAP LoadProgramBitmap(int id) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

} // namespace

CRangeSlider::BackgroundCache::BackgroundCache(HDC compatible, int width, int height)
    : dc(compatible), bitmap(CreateCompatibleBitmap(compatible, width, height)), selection(dc.hdc(), bitmap.get()) {}

CRangeSlider::CRangeSlider()
    : classRegistered(RegisterSliderClass()), channelBitmap(LoadProgramBitmap(IDB_SLIDER_CHANNEL)),
      beginBitmap(LoadProgramBitmap(IDB_SLIDER_BEGIN)), endBitmap(LoadProgramBitmap(IDB_SLIDER_END)),
      bandBitmap(LoadProgramBitmap(IDB_SLIDER_BAND)) {
    logic.SetNotify([this](int which, int final) { Notify(which, final); });
}

CRangeSlider::~CRangeSlider() {
    // The handlers must still exist while a window this object made goes; a template's window stays with its dialog.
    if (createdHere)
        DestroyWindow();
}

bool CRangeSlider::RegisterSliderClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, kRangeSliderClass, &existing))
        return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.lpszClassName = kRangeSliderClass;
    return RegisterClassA(&windowClass) != 0;
}

bool CRangeSlider::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    createdHere = classRegistered && CreateEx(0, kRangeSliderClass, "", style | WS_CHILD, rect, parent, id);
    return createdHere;
}

void CRangeSlider::SetBounds(double a, double b) {
    logic.SetBounds(a, b);
    if (GetSafeHwnd())
        Invalidate(true);
}

void CRangeSlider::SetSelection(double b, double e) {
    logic.SetSelection(b, e);
    if (GetSafeHwnd())
        Invalidate(true);
}

void CRangeSlider::GetSelection(double& b, double& e) const {
    b = logic.Begin();
    e = logic.End();
}

void CRangeSlider::Notify(int which, int final) const {
    HWND window = GetSafeHwnd();
    HWND parent = window ? GetParent(window) : nullptr;
    if (parent)
        ::SendMessageA(parent, RANGE_CHANGED, static_cast<WPARAM>(which), static_cast<LPARAM>(final));
}

void CRangeSlider::UpdateLayout() {
    const RECT client = GetClientRect();
    logic.Layout(client.right, client.bottom);
}

LRESULT CRangeSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wParam, lParam);
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocusChange(message, wParam, lParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SIZE: UpdateLayout(); return Default(message, wParam, lParam);
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}

void CRangeSlider::EnsureBackgroundCache(HDC dc, int width, int height) {
    if (backgroundCache)
        return;
    HWND parent = GetParent(GetSafeHwnd());
    backgroundCache = std::make_unique<BackgroundCache>(dc, width, height);
    if (!parent)
        return;
    POINT origin = {0, 0};
    MapWindowPoints(GetSafeHwnd(), parent, &origin, 1);
    ClientDC parentDC(parent);
    BitBlt(backgroundCache->dc.hdc(), 0, 0, width, height, parentDC.hdc(), origin.x, origin.y, SRCCOPY);
}

void CRangeSlider::DoPaint(HDC dc, const RECT&) {
    UpdateLayout();
    const int width = logic.ClientWidth();
    const int height = logic.ClientHeight();
    if (width <= 0 || height <= 0)
        return;
    EnsureBackgroundCache(dc, width, height);
    BitBlt(dc, 0, 0, width, height, backgroundCache->dc.hdc(), 0, 0, SRCCOPY);
    StretchBitmap(dc, channelBitmap.get(), 0, kChannelY, width, kChannelHeight);
    // Bounds that are equal leave values without pixels: the channel alone shows.
    if (!logic.HasPositions())
        return;
    const int b = logic.PixelOf(logic.Begin());
    const int e = logic.PixelOf(logic.End());
    const int k = RangeSliderLogic::kThumbWidth;
    {
        MemoryDC source(dc);
        SelectGuard selection(source.hdc(), beginBitmap.get());
        BitBlt(dc, b, 0, k, kThumbHeight, source.hdc(), 0, 0, SRCCOPY);
    }
    {
        MemoryDC source(dc);
        SelectGuard selection(source.hdc(), endBitmap.get());
        BitBlt(dc, e + k, 0, k, kThumbHeight, source.hdc(), 0, 0, SRCCOPY);
    }
    // Drawn after the thumbs, so that it covers the inner column of each.
    StretchBitmap(dc, bandBitmap.get(), b + k - 1, kBandY, e - b + 2, kBandHeight);
}

LRESULT CRangeSlider::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    RECT clip = {};
    GetClipBox(paint.hdc(), &clip);
    if (clip.right <= clip.left || clip.bottom <= clip.top)
        return 0;
    MemoryBuffer buffer(paint.hdc(), clip);
    {
        OwnedBrush fill(CreateSolidBrush(GetBkColor(paint.hdc())));
        FillRect(buffer.hdc(), &clip, fill.get());
    }
    DoPaint(buffer.hdc());
    buffer.Blit(paint.hdc());
    return 0;
}

LRESULT CRangeSlider::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    SetFocus(GetSafeHwnd());
    Invalidate(true);
    UpdateLayout();
    if (logic.Grab(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))))
        SetCapture(GetSafeHwnd());
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CRangeSlider::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (logic.Drag(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))))
        Invalidate(true);
    return Default(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CRangeSlider::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    if (logic.Release()) {
        if (GetCapture() == GetSafeHwnd())
            ReleaseCapture();
        Invalidate(true);
    }
    return Default(WM_LBUTTONUP, wParam, lParam);
}

LRESULT CRangeSlider::OnCaptureChanged(WPARAM wParam, LPARAM lParam) {
    // The capture went elsewhere mid-drag (Alt+Tab, a message box): the drag ends there, as a release would end it,
    // so that later moves with the button up leave the thumbs alone.
    if (reinterpret_cast<HWND>(lParam) != GetSafeHwnd() && logic.Release())
        Invalidate(true);
    return Default(WM_CAPTURECHANGED, wParam, lParam);
}

LRESULT CRangeSlider::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    const bool arrow = wParam == VK_LEFT || wParam == VK_RIGHT;
    if (arrow && GetKeyState(VK_CONTROL) >= 0) {
        UpdateLayout();
        if (logic.Step(wParam == VK_RIGHT, GetKeyState(VK_SHIFT) < 0))
            Invalidate(true);
    }
    return Default(WM_KEYDOWN, wParam, lParam);
}

LRESULT CRangeSlider::OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam) {
    Invalidate(true);
    return Default(message, wParam, lParam);
}
