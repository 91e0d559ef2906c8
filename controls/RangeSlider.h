#pragma once

#include "controls/RangeSliderLogic.h"

#include "framework/Gdi.h"
#include "framework/PaintedWnd.h"

#include <memory>

// The registered message a range slider sends its parent: wParam which end changed (0 begin, 1 end, 2 both),
// lParam 1 for the notification that ends a drag. Registered when the program starts, before any window exists.
extern const UINT RANGE_CHANGED;
inline constexpr char kRangeChangedName[] = "RANGE_CHANGED{2E7439A4-12DB-42a2-BB95-3462B3EC39CE}CRangeSlider";
inline constexpr char kRangeSliderClass[] = "MFCRangeSlider";

// A horizontal control with two thumbs on one track for choosing begin and end within lower..upper. Drawn from the
// program's four slider bitmaps over a snapshot of the parent's pixels, so that it blends into the skin.
//
// Constructing one makes sure the window class "MFCRangeSlider" exists, so that a dialog template naming it can
// create the window; the object is then attached with SubclassDlgItem. Registration can only fail when the system
// is out of resources: the object then reports it through IsClassRegistered and a template naming the class fails
// to create, which the dialog's creation reports.
class CRangeSlider : public CPaintedWnd {
public:
    CRangeSlider();
    ~CRangeSlider() override;

    static bool RegisterSliderClass();
    bool IsClassRegistered() const { return classRegistered; }
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetBounds(double a, double b);
    void SetSelection(double b, double e);
    void GetSelection(double& b, double& e) const;
    const RangeSliderLogic& Logic() const { return logic; }

    // The whole control as painting draws it, into dc at client coordinates (the parent's snapshot included).
    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnPaint();
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateLayout();
    void Notify(int which, int final) const;
    void EnsureBackgroundCache(HDC dc, int width, int height);

    struct BackgroundCache {
        BackgroundCache(HDC compatible, int width, int height);
        MemoryDC dc;
        OwnedBitmap bitmap;
        SelectGuard selection;
    };

    RangeSliderLogic logic;
    bool classRegistered = false;
    bool createdHere = false;
    std::unique_ptr<BackgroundCache> backgroundCache;
    OwnedBitmap channelBitmap;
    OwnedBitmap beginBitmap;
    OwnedBitmap endBitmap;
    OwnedBitmap bandBitmap;
};
