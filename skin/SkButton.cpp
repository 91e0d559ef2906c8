#include "skin/SkButton.h"

#include "framework/TextDraw.h"

#include <commctrl.h>

namespace {

constexpr LONG kTypeBits = 0x1F;
constexpr LONG kCheckBit = 0x02;
constexpr WPARAM kSetStyleCleared = 0x04 | 0x10;
constexpr WPARAM kSetStyleForced = 0x0B; // BS_OWNERDRAW
constexpr COLORREF kCaptionLight = RGB(200, 200, 200);
constexpr int kCaptionFontHeight = 12;
constexpr int kCaptionFontWeight = 700;
constexpr int kTooltipMaxWidth = 400;
constexpr UINT_PTR kToolId = 1;

void FillSolid(HDC dc, int x, int y, int width, int height, COLORREF colour) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF previous = SetBkColor(dc, colour);
    RECT rect = {x, y, x + width, y + height};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void FrameRect3d(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    FillSolid(dc, r.left, r.top, width - 1, 1, topLeft);
    FillSolid(dc, r.left, r.top, 1, height - 1, topLeft);
    FillSolid(dc, r.right - 1, r.top, 1, height, bottomRight);
    FillSolid(dc, r.left, r.bottom - 1, width, 1, bottomRight);
}

bool ImageSize(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

// A monochrome mask with the key-coloured pixels set; the key-coloured pixels of bitmap itself become black, so that
// ANDing the mask and then ORing the bitmap draws it transparently.
OwnedBitmap BuildMask(HBITMAP bitmap, int width, int height, COLORREF key) {
    OwnedBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    MemoryDC source(nullptr);
    MemoryDC target(nullptr);
    if (!mask || !source.hdc() || !target.hdc())
        return OwnedBitmap();
    SelectGuard sourceSelection(source.hdc(), bitmap);
    SelectGuard maskSelection(target.hdc(), mask.get());
    // Colour to monochrome: pixels of the background colour become 1, all others 0.
    SetBkColor(source.hdc(), key);
    BitBlt(target.hdc(), 0, 0, width, height, source.hdc(), 0, 0, SRCCOPY);
    // Monochrome to colour: 0 becomes the text colour, 1 the background colour.
    SetBkColor(source.hdc(), RGB(0, 0, 0));
    SetTextColor(source.hdc(), RGB(255, 255, 255));
    BitBlt(source.hdc(), 0, 0, width, height, target.hdc(), 0, 0, SRCAND);
    return mask;
}

HICON LoadIconResource(int id) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, 0));
}

// An icon's size is taken as twice its hot spot, which lies in the middle of an icon.
bool IconSize(HICON icon, int& width, int& height) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    width = static_cast<int>(info.xHotspot) * 2;
    height = static_cast<int>(info.yHotspot) * 2;
    return true;
}

} // namespace

CSkButton::BackgroundCache::BackgroundCache(HDC compatible, int width, int height)
    : dc(compatible), bitmap(CreateCompatibleBitmap(compatible, width, height)), selection(dc.hdc(), bitmap.get()) {}

CSkButton::CSkButton() {
    UseSystemColours(false);
}

CSkButton::~CSkButton() {
    // A window this object made goes while its handlers still exist (CWnd's destructor would be too late for them).
    if (createdHere && GetSafeHwnd())
        DestroyWindow();
    if (tooltip && IsWindow(tooltip))
        ::DestroyWindow(tooltip);
    tooltip = nullptr;
    DropIcons();
    DropBitmaps();
}

bool CSkButton::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    PreSubclassWindow();
    return true;
}

bool CSkButton::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

bool CSkButton::Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CreateEx(0, "BUTTON", caption, style | WS_CHILD, rect, parent, id))
        return false;
    createdHere = true;
    PreSubclassWindow();
    return true;
}

void CSkButton::PreSubclassWindow() {
    HWND window = GetSafeHwnd();
    const LONG style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
    buttonType = style & kTypeBits;
    // Check boxes, automatic check boxes, automatic three-state boxes, group boxes, push boxes and owner-draw
    // buttons all carry this bit.
    if (style & kCheckBit)
        isCheckButton = true;
    if (buttonType == BS_DEFPUSHBUTTON) {
        isDefault = true;
        buttonType = BS_PUSHBUTTON;
    }
    SetWindowLongPtrA(window, GWL_STYLE, (style & ~kTypeBits) | BS_OWNERDRAW);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Configuration.

CSkButton::Result CSkButton::AssignIcons(int onIconId, int offIconId) {
    DropIcons();
    IconImage on;
    IconImage off;
    on.handle = LoadIconResource(onIconId);
    if (offIconId != 0)
        off.handle = LoadIconResource(offIconId);
    const bool onOk = IconSize(on.handle, on.width, on.height);
    const bool offOk = offIconId == 0 || IconSize(off.handle, off.width, off.height);
    if (!onOk || !offOk) {
        if (on.handle)
            DestroyIcon(on.handle);
        if (off.handle)
            DestroyIcon(off.handle);
        Repaint(true);
        return Result::NoImageInfo;
    }
    iconOn = on;
    iconOff = off;
    Repaint(true);
    return Result::Ok;
}

CSkButton::Result CSkButton::AssignBitmaps(int onBitmapId, COLORREF onKey, int offBitmapId, COLORREF offKey) {
    DropBitmaps();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    BitmapImage on;
    BitmapImage off;
    on.bitmap.reset(
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(onBitmapId), IMAGE_BITMAP, 0, 0, 0)));
    on.key = onKey;
    if (offBitmapId != 0) {
        off.bitmap.reset(
            static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(offBitmapId), IMAGE_BITMAP, 0, 0, 0)));
        off.key = offKey;
    }
    Result result = Result::Ok;
    if (!ImageSize(on.bitmap.get(), on.width, on.height) ||
        (offBitmapId != 0 && !ImageSize(off.bitmap.get(), off.width, off.height))) {
        result = Result::NoImageInfo;
    } else {
        on.mask = BuildMask(on.bitmap.get(), on.width, on.height, on.key);
        if (offBitmapId != 0)
            off.mask = BuildMask(off.bitmap.get(), off.width, off.height, off.key);
        if (!on.mask || (offBitmapId != 0 && !off.mask))
            result = Result::NoMask;
    }
    if (result == Result::Ok) {
        bitmapOn = std::move(on);
        bitmapOff = std::move(off);
    }
    Repaint(true);
    return result;
}

CSkButton::Result CSkButton::SetImagePlacement(int placement, bool repaint) {
    if (placement < 0 || placement > 3)
        return Result::BadPlacement;
    imagePlacement = static_cast<unsigned char>(placement);
    Repaint(repaint);
    return Result::Ok;
}

CSkButton::Result CSkButton::SetPressShift(int style, bool repaint) {
    switch (style) {
    case 0: pressShiftX = 1, pressShiftY = 1; break;
    case 1: pressShiftX = 0, pressShiftY = 2; break;
    default: return Result::BadPressStyle;
    }
    Repaint(repaint);
    return Result::Ok;
}

void CSkButton::SetChecked(bool flag, bool repaint) {
    if (!isCheckButton)
        return;
    checked = flag;
    Repaint(repaint);
}

CSkButton::Result CSkButton::UseSystemColours(bool repaint) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < kColourCount; i += 2) {
        colours[i] = face;
        colours[i + 1] = text;
    }
    Repaint(repaint);
    return Result::Ok;
}

CSkButton::Result CSkButton::SetStateColour(int index, COLORREF colour, bool repaint) {
    if (index < 0 || index >= kColourCount)
        return Result::BadColourIndex;
    colours[index] = colour;
    Repaint(repaint);
    return Result::Ok;
}

COLORREF CSkButton::GetStateColour(int index) const {
    return index >= 0 && index < kColourCount ? colours[index] : CLR_INVALID;
}

void CSkButton::ShowHoverFrame(bool flag, bool repaint) {
    hoverFrame = flag;
    Repaint(repaint);
}

void CSkButton::SetHint(const char* text, bool activate) {
    if (!text || !GetSafeHwnd())
        return;
    CreateTooltip();
    if (!tooltip)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetSafeHwnd();
    tool.uId = kToolId;
    tool.hinst = GetModuleHandleA(nullptr);
    tool.lpszText = const_cast<char*>(text);
    if (!toolAdded) {
        tool.rect = GetClientRect();
        toolAdded = ::SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
    }
    ::SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(tooltip, TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}

void CSkButton::UseParentBackground(bool repaint) {
    useParentBackground = true;
    backgroundCache.reset();
    Repaint(repaint);
}

// Messages.

bool CSkButton::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != GetSafeHwnd())
        return false;
    CreateTooltip();
    if (tooltip && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST)
        ::SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    // An owner-drawn button reports a double click instead of a second press: quick clicks must count as clicks.
    if (msg->message == WM_LBUTTONDBLCLK)
        msg->message = WM_LBUTTONDOWN;
    return false;
}

LRESULT CSkButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: return OnGetDlgCode(wParam, lParam);
    case BM_SETSTYLE: return OnSetStyle(wParam, lParam);
    case BM_SETCHECK: return OnSetCheck(wParam);
    case BM_GETCHECK: return checked ? BST_CHECKED : BST_UNCHECKED;
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_MOUSELEAVE:
    case WM_KILLFOCUS:
    case WM_CANCELMODE: return OnEndHover(message, wParam, lParam);
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_ENABLE: return OnEnable(wParam);
    case WM_SYSCOLORCHANGE: return OnSysColorChange();
    case WM_LBUTTONDBLCLK: return OnDoubleClick(wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CSkButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_CTLCOLORBTN:
        // The button paints everything itself: the platform's erase must not fill anything.
        *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
        return true;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            OnClicked();
        return false; // the parent handles the click as usual
    default: return false;
    }
}

LRESULT CSkButton::OnGetDlgCode(WPARAM wParam, LPARAM lParam) {
    LRESULT code = Default(WM_GETDLGCODE, wParam, lParam);
    code &= ~static_cast<LRESULT>(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
    return code | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT CSkButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    // The dialog manager moves the default state between push buttons with this message; the button stays owner
    // drawn whatever type it is given.
    const WPARAM type = style & kTypeBits;
    if (type == BS_DEFPUSHBUTTON)
        isDefault = true;
    else if (type == BS_PUSHBUTTON)
        isDefault = false;
    return Default(BM_SETSTYLE, (style & ~kSetStyleCleared) | kSetStyleForced, redraw);
}

LRESULT CSkButton::OnSetCheck(WPARAM state) {
    SetChecked(state == BST_CHECKED || state == BST_INDETERMINATE, true);
    return 0;
}

LRESULT CSkButton::OnMouseMove(WPARAM keys, LPARAM position) {
    const LRESULT result = Default(WM_MOUSEMOVE, keys, position);
    if ((keys & MK_LBUTTON) && !hovering)
        return result;
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ClientToScreen(GetSafeHwnd(), &point);
    if (WindowFromPoint(point) == GetSafeHwnd()) {
        if (!hovering) {
            hovering = true;
            Repaint(true);
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = GetSafeHwnd();
            _TrackMouseEvent(&track);
        }
    } else {
        EndHover();
    }
    return result;
}

LRESULT CSkButton::OnEndHover(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KILLFOCUS)
        focusLostToNobody = wParam == 0;
    EndHover();
    return Default(message, wParam, lParam);
}

LRESULT CSkButton::OnActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE)
        EndHover();
    return Default(WM_ACTIVATE, wParam, lParam);
}

LRESULT CSkButton::OnEnable(WPARAM enabled) {
    const LRESULT result = Default(WM_ENABLE, enabled, 0);
    if (enabled)
        return result;
    // A disabled button cannot keep the focus, and the system drops it before this message: hand it on to the next
    // tab stop, so that the keyboard still works. Only when the focus was this button's: disabling a button must not
    // take the focus from another control, nor activate a window the user has left.
    HWND window = GetSafeHwnd();
    HWND parent = GetParent(window);
    HWND focus = GetFocus();
    const bool hadFocus = focus == window || (focus == nullptr && focusLostToNobody && parent &&
                                              GetActiveWindow() == GetAncestor(window, GA_ROOT));
    if (hadFocus && parent) {
        HWND next = GetNextDlgTabItem(parent, window, FALSE);
        ::SetFocus(next && next != window ? next : parent);
    }
    focusLostToNobody = false;
    EndHover();
    return result;
}

LRESULT CSkButton::OnSysColorChange() {
    backgroundCache.reset();
    UseSystemColours(true);
    return Default(WM_SYSCOLORCHANGE, 0, 0);
}

LRESULT CSkButton::OnDoubleClick(WPARAM keys, LPARAM position) {
    // The same rule as PreTranslateMessage, for double clicks that reach the button without passing a loop that
    // translates them.
    return Default(WM_LBUTTONDOWN, keys, position);
}

LRESULT CSkButton::OnDestroy() {
    // The tooltip is owned by the top-level window, not by the button, so it would outlive it.
    if (tooltip && IsWindow(tooltip))
        ::DestroyWindow(tooltip);
    tooltip = nullptr;
    toolAdded = false;
    return Default(WM_DESTROY, 0, 0);
}

void CSkButton::OnClicked() {
    ::SetFocus(GetSafeHwnd());
    if (isCheckButton) {
        checked = !checked;
        Repaint(true);
    }
}

void CSkButton::EndHover() {
    if (!hovering)
        return;
    hovering = false;
    Repaint(true);
}

void CSkButton::Repaint(bool repaint) const {
    if (repaint && GetSafeHwnd())
        ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void CSkButton::CreateTooltip() {
    if (tooltip || !GetSafeHwnd())
        return;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, static_cast<DWORD>(tooltipStyle) | WS_POPUP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetSafeHwnd(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!tooltip)
        return;
    ::SendMessageA(tooltip, TTM_ACTIVATE, FALSE, 0);
    ::SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
}

void CSkButton::DropIcons() {
    if (iconOn.handle)
        DestroyIcon(iconOn.handle);
    if (iconOff.handle)
        DestroyIcon(iconOff.handle);
    iconOn = {};
    iconOff = {};
}

void CSkButton::DropBitmaps() {
    bitmapOn = {};
    bitmapOff = {};
}

// Painting.

bool CSkButton::UseOffImage(bool hasOff) const {
    return hasOff && !pressed && (isCheckButton || !hovering);
}

ImageLayout CSkButton::LayoutImage(const RECT& rect, int width, int height, bool hasCaption) const {
    ImageLayoutInput input;
    input.button = ToPixelRect(rect);
    input.imageWidth = width;
    input.imageHeight = height;
    input.hasCaption = hasCaption;
    input.placement = imagePlacement;
    input.marginX = imageMarginX;
    input.marginY = imageMarginY;
    input.shifted = pressed && !isCheckButton;
    input.shiftX = pressShiftX;
    input.shiftY = pressShiftY;
    return PlaceImage(input);
}

void CSkButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT rect = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    pressed = selected || (isCheckButton && checked);
    focused = (item.itemState & ODS_FOCUS) != 0;
    disabled = (item.itemState & ODS_DISABLED) != 0;

    SavedDC saved(dc);
    // Nothing of the button, a caption taller than it included, lands outside its item on a DC that is not clipped.
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HWND parent = GetSafeHwnd() ? GetParent(GetSafeHwnd()) : nullptr;
    if (useParentBackground && parent) {
        if (!backgroundCache) {
            backgroundCache = std::make_unique<BackgroundCache>(dc, width, height);
            POINT origin = {0, 0};
            MapWindowPoints(GetSafeHwnd(), parent, &origin, 1);
            ClientDC parentDC(parent);
            BitBlt(backgroundCache->dc.hdc(), 0, 0, width, height, parentDC.hdc(), origin.x, origin.y, SRCCOPY);
        }
        BitBlt(dc, rect.left, rect.top, width, height, backgroundCache->dc.hdc(), 0, 0, SRCCOPY);
    } else {
        PaintFace(dc, rect);
    }
    PaintFrame(dc, rect);

    const std::string caption = GetSafeHwnd() ? GetWindowText() : std::string();
    RECT captionRect = rect;
    if (iconOn.handle)
        PaintIcon(dc, rect, !caption.empty(), captionRect);
    if (bitmapOn.bitmap) {
        SetBkColor(dc, RGB(255, 255, 255));
        PaintBitmap(dc, rect, !caption.empty(), captionRect);
    }
    if (!caption.empty())
        PaintCaption(dc, caption, captionRect);
}

void CSkButton::PaintFace(HDC dc, const RECT& rect) {
    const int index = hovering || pressed ? kHotBack : focused ? kFocusBack : kNormalBack;
    FillSolid(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, colours[index]);
}

void CSkButton::PaintFrame(HDC dc, const RECT& rect) {
    if (!hoverFrame)
        return;
    if (pressed)
        FrameRect3d(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (hovering)
        FrameRect3d(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void CSkButton::PaintIcon(HDC dc, const RECT& rect, bool hasCaption, RECT& captionRect) {
    const IconImage& icon = UseOffImage(iconOff.handle != nullptr) ? iconOff : iconOn;
    const ImageLayout layout = LayoutImage(rect, icon.width, icon.height, hasCaption);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.handle), 0, layout.image.x, layout.image.y,
               icon.width, icon.height, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    captionRect = ToRect(layout.caption);
}

void CSkButton::PaintBitmap(HDC dc, const RECT& rect, bool hasCaption, RECT& captionRect) {
    const BitmapImage& image = UseOffImage(static_cast<bool>(bitmapOff.bitmap)) ? bitmapOff : bitmapOn;
    const ImageLayout layout = LayoutImage(rect, image.width, image.height, hasCaption);
    captionRect = ToRect(layout.caption);
    const int x = layout.image.x;
    const int y = layout.image.y;
    MemoryDC source(dc);
    if (!source.hdc())
        return;
    if (disabled && grayDisabledBitmap) {
        // The masked image on white, drawn greyed by the system.
        OwnedBitmap composed(CreateCompatibleBitmap(dc, image.width, image.height));
        {
            MemoryDC work(dc);
            SelectGuard workSelection(work.hdc(), composed.get());
            PatBlt(work.hdc(), 0, 0, image.width, image.height, WHITENESS);
            SetBkColor(work.hdc(), RGB(255, 255, 255));
            SetTextColor(work.hdc(), RGB(0, 0, 0));
            {
                SelectGuard maskSelection(source.hdc(), image.mask.get());
                BitBlt(work.hdc(), 0, 0, image.width, image.height, source.hdc(), 0, 0, SRCAND);
            }
            SelectGuard bitmapSelection(source.hdc(), image.bitmap.get());
            BitBlt(work.hdc(), 0, 0, image.width, image.height, source.hdc(), 0, 0, SRCPAINT);
        }
        // DrawState wants a bitmap that no DC holds.
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(composed.get()), 0, x, y, image.width,
                   image.height, DST_BITMAP | DSS_DISABLED);
        return;
    }
    // Monochrome to colour on dc: the mask's set (key) pixels take the white background and keep what is there,
    // the others take black and clear it for the bitmap.
    SetTextColor(dc, RGB(0, 0, 0));
    {
        SelectGuard maskSelection(source.hdc(), image.mask.get());
        BitBlt(dc, x, y, image.width, image.height, source.hdc(), 0, 0, SRCAND);
    }
    SelectGuard bitmapSelection(source.hdc(), image.bitmap.get());
    BitBlt(dc, x, y, image.width, image.height, source.hdc(), 0, 0, SRCPAINT);
}

void CSkButton::PaintCaption(HDC dc, const std::string& caption, RECT area) {
    OwnedFont font(CreateFontA(kCaptionFontHeight, 0, 0, 0, kCaptionFontWeight, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"));
    SelectGuard fontSelection(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    if (pressed && !isCheckButton)
        OffsetRect(&area, pressShiftX, pressShiftY);

    RECT measured = area;
    DrawTextUtf8(dc, caption, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    RECT place = ToRect(CentreRect(ToPixelRect(measured), ToPixelRect(area)));

    // The light under-layer shows as an edge below and right of the caption.
    SetTextColor(dc, kCaptionLight);
    RECT light = place;
    DrawTextUtf8(dc, caption, &light, DT_WORDBREAK | DT_CENTER);
    if (disabled) {
        RECT raised = place;
        OffsetRect(&raised, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextUtf8(dc, caption, &raised, DT_WORDBREAK | DT_CENTER);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        DrawTextUtf8(dc, caption, &place, DT_WORDBREAK | DT_CENTER);
        return;
    }
    const bool hot = hovering || pressed;
    const int text = hot ? kHotText : focused ? kFocusText : kNormalText;
    const int back = hot ? kHotBack : focused ? kFocusBack : kNormalBack;
    SetTextColor(dc, colours[text]);
    SetBkColor(dc, colours[back]);
    OffsetRect(&place, -1, -1);
    DrawTextUtf8(dc, caption, &place, DT_WORDBREAK | DT_CENTER);
}
