#pragma once

#include "skin/ButtonLayout.h"

#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include <memory>
#include <string>

// The flat owner-drawn push button of every skinned window: an icon pair or a bitmap pair (the "on" image while
// hovered or pressed, the "off" image otherwise) and/or a caption in the skin's lettering (bold Tahoma 12 over a
// light under-layer), a thin frame while hovered or pressed, an optional check mode, a tooltip, and optionally the
// parent's pixels as its background so that it sits seamlessly on the skin's artwork.
//
// Attach it to a "Button" window with SubclassWindow/SubclassDlgItem (or create one with Create): the button's type
// is read then and replaced by BS_OWNERDRAW. The parent must reflect WM_DRAWITEM, WM_COMMAND and WM_CTLCOLORBTN,
// which every CWnd parent does.
class CSkButton : public CWnd {
public:
    // What the configuration operations answer.
    enum class Result {
        Ok,
        NoImageInfo,    // an icon's or bitmap's information cannot be read
        NoMask,         // a bitmap's mask cannot be built
        BadColourIndex, // SetStateColour: an index outside the colours
        BadPlacement,   // SetImagePlacement: above 3
        BadPressStyle,  // SetPressShift: neither 0 nor 1
    };

    // Indices of colours.
    enum ColourIndex : int {
        kHotBack = 0,     // background while hovered or pressed
        kHotText = 1,     // caption while hovered or pressed
        kNormalBack = 2,
        kNormalText = 3,
        kFocusBack = 4,
        kFocusText = 5,
        kColourCount = 6
    };

    CSkButton();
    ~CSkButton() override;

    // Binding reads the style first (these hide CWnd's versions, which know nothing of buttons).
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent);
    bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id);

    Result AssignIcons(int onIconId, int offIconId);
    Result AssignBitmaps(int onBitmapId, COLORREF onKey, int offBitmapId, COLORREF offKey);
    Result SetImagePlacement(int placement, bool repaint = true);
    Result SetPressShift(int style, bool repaint = true);
    void SetChecked(bool flag, bool repaint = true);
    bool IsChecked() const { return checked; }
    Result UseSystemColours(bool repaint = true);
    Result SetStateColour(int index, COLORREF colour, bool repaint = true);
    COLORREF GetStateColour(int index) const;
    void ShowHoverFrame(bool flag, bool repaint = true);
    void SetHint(const char* text, bool activate = true);
    void UseParentBackground(bool repaint = true);

    bool IsHovering() const { return hovering; }
    bool IsCheckButton() const { return isCheckButton; }
    bool IsDefault() const { return isDefault; }
    int GetButtonType() const { return buttonType; }
    HWND GetTooltip() const { return tooltip; }

    // The owner-draw entry: paints the whole button into item.hDC.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    bool PreTranslateMessage(MSG* msg) override;

protected:
    struct IconImage {
        HICON handle = nullptr;
        int width = 0;
        int height = 0;
    };
    struct BitmapImage {
        OwnedBitmap bitmap;
        int width = 0;
        int height = 0;
        OwnedBitmap mask;
        COLORREF key = 0;
    };
    // The parent's pixels under the button, taken at the first paint after UseParentBackground.
    struct BackgroundCache {
        explicit BackgroundCache(HDC compatible, int width, int height);
        MemoryDC dc;
        OwnedBitmap bitmap;
        SelectGuard selection;
    };

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual void PaintFace(HDC dc, const RECT& rect);
    virtual void PaintFrame(HDC dc, const RECT& rect);
    // Both draw the image of the pair that the state calls for and narrow captionRect to what the image leaves.
    virtual void PaintIcon(HDC dc, const RECT& rect, bool hasCaption, RECT& captionRect);
    virtual void PaintBitmap(HDC dc, const RECT& rect, bool hasCaption, RECT& captionRect);
    virtual void PaintCaption(HDC dc, const std::string& caption, RECT captionRect);

    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    LRESULT OnSetCheck(WPARAM state);
    LRESULT OnMouseMove(WPARAM keys, LPARAM position);
    LRESULT OnEndHover(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnable(WPARAM enabled);
    LRESULT OnSysColorChange();
    LRESULT OnDoubleClick(WPARAM keys, LPARAM position);
    LRESULT OnDestroy();
    void OnClicked();

    void PreSubclassWindow();
    void EndHover();
    void Repaint(bool repaint) const;
    // Which of a pair is drawn now: the off image when there is one, the button is not pressed, and it is a check
    // button or not hovered.
    bool UseOffImage(bool hasOff) const;
    ImageLayout LayoutImage(const RECT& rect, int width, int height, bool hasCaption) const;
    void DropIcons();
    void DropBitmaps();
    void CreateTooltip();

    bool grayDisabledBitmap = true;
    int imageMarginX = 3;
    int imageMarginY = 3;
    int pressShiftX = 1;
    int pressShiftY = 1;
    bool hovering = false;
    bool useParentBackground = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    bool isDefault = false;
    bool isCheckButton = false;
    unsigned char imagePlacement = 0;
    bool hoverFrame = true;
    COLORREF colours[kColourCount] = {};
    HWND tooltip = nullptr;
    std::unique_ptr<BackgroundCache> backgroundCache;
    bool checked = false;
    int buttonType = 31;
    int tooltipStyle = 0;
    IconImage iconOn;
    IconImage iconOff;
    BitmapImage bitmapOn;
    BitmapImage bitmapOff;

private:
    bool toolAdded = false;
    bool createdHere = false;
    bool focusLostToNobody = false; // the last focus loss left no window focused (as disabling the button does)
};
