#pragma once

#include "framework/Gdi.h"
#include "framework/PaintedWnd.h"

#include <atomic>

// A picture (static) control that fades a bitmap in over what is behind it and then paints it normally. The fade
// runs on a worker thread of its own, which blends the picture onto the control's client area in 52 steps of
// constant alpha 0, 5, ..., 255, pausing stepDelay milliseconds after each; the paint handler draws nothing until
// the worker has set fadeDone, so the two never draw at the same time; the worker then has the control repainted.
class CSkFadePicture : public CPaintedWnd {
public:
    static constexpr int kFadeSteps = 52;
    static constexpr int kAlphaStep = 5;

    CSkFadePicture();
    // Ends a fade still running (at once, without finishing it) before the picture and the window go.
    ~CSkFadePicture() override;

    // Loads bitmap resource bitmapId of the executable, resizes the control to the picture's size (on top of its
    // siblings) and starts the fade. False, with no thread started, when the resource cannot be loaded or a fade is
    // already running.
    bool StartFade(int bitmapId, int stepDelay);
    // Waits (answering sent messages) until the fade has ended or timeout milliseconds passed: for callers that must
    // not go on before the picture is whole.
    bool WaitForFade(DWORD timeout);

    bool IsFadeDone() const { return fadeDone.load() != 0; }
    HBITMAP GetPicture() const { return picture.get(); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws nothing until the fade is done, then the picture at its own size.
    using CPaintedWnd::DoPaint;
    void DoPaint(HDC dc, const RECT& client) override;
    LRESULT OnDestroy();

    std::atomic<int> fadeDone = 0;
    int bitmapId = 0;
    std::atomic<int> stepDelay = 100;
    OwnedBitmap picture;

private:
    static DWORD WINAPI FadeThread(void* parameter);
    void RunFade();
    void StopFade();

    HANDLE worker = nullptr;
    HANDLE stopEvent = nullptr; // set to end the fade early; the worker's pause waits on it
    HWND fadeWindow = nullptr;  // the window the worker draws on, fixed when it starts
    SIZE pictureSize = {};
};
