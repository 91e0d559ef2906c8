#include "skin/SkFadePicture.h"

#include <windows.h>

CSkFadePicture::CSkFadePicture() : stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CSkFadePicture::~CSkFadePicture() {
    StopFade();
    if (stopEvent)
        CloseHandle(stopEvent);
}

bool CSkFadePicture::StartFade(int id, int delay) {
    if (!GetSafeHwnd() || !stopEvent)
        return false;
    if (worker) {
        if (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT)
            return false;
        CloseHandle(worker);
        worker = nullptr;
    }
    OwnedBitmap loaded(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info = {};
    if (!loaded || !GetObjectA(loaded.get(), sizeof info, &info))
        return false;
    picture = std::move(loaded);
    pictureSize = {info.bmWidth, info.bmHeight};
    fadeWindow = GetSafeHwnd();
    fadeDone = 0;
    // Sized here, on the window's own thread, rather than by the worker: a SetWindowPos from the worker would wait
    // for this thread, which may itself be waiting for the worker to end.
    SetWindowPos(fadeWindow, HWND_TOP, 0, 0, pictureSize.cx, pictureSize.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    ResetEvent(stopEvent);
    DWORD threadId = 0;
    worker = CreateThread(nullptr, 0, FadeThread, this, 0, &threadId);
    if (!worker)
        return false;
    bitmapId = id;
    stepDelay = delay;
    return true;
}

bool CSkFadePicture::WaitForFade(DWORD timeout) {
    const DWORD start = GetTickCount();
    while (!IsFadeDone()) {
        const DWORD elapsed = GetTickCount() - start;
        if (!worker || elapsed >= timeout)
            return IsFadeDone();
        if (MsgWaitForMultipleObjects(1, &worker, FALSE, timeout - elapsed, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG msg = {};
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    return true;
}

DWORD WINAPI CSkFadePicture::FadeThread(void* parameter) {
    static_cast<CSkFadePicture*>(parameter)->RunFade();
    return 0;
}

void CSkFadePicture::RunFade() {
    bool stopped = false;
    {
        ClientDC target(fadeWindow);
        MemoryDC source(target.hdc());
        if (target.hdc() && source.hdc()) {
            SelectGuard selection(source.hdc(), picture.get());
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 0, 0};
            for (int step = 0; step < kFadeSteps; ++step) {
                // Each step blends over what the previous one left on the screen.
                blend.SourceConstantAlpha = static_cast<BYTE>(step * kAlphaStep);
                AlphaBlend(target.hdc(), 0, 0, pictureSize.cx, pictureSize.cy, source.hdc(), 0, 0, pictureSize.cx,
                           pictureSize.cy, blend);
                GdiFlush();
                stopped = WaitForSingleObject(stopEvent, static_cast<DWORD>(stepDelay.load())) == WAIT_OBJECT_0;
                if (stopped)
                    break;
            }
        }
    }
    fadeDone = 1;
    // A paint that came after a step, or after the last one but before this, drew nothing, and whatever covered the
    // control then (the splash) is still on the screen there: the whole picture is painted once more. InvalidateRect
    // only marks the window; it sends nothing to its thread, which may be waiting for this worker.
    if (!stopped)
        InvalidateRect(fadeWindow, nullptr, FALSE);
}

void CSkFadePicture::StopFade() {
    if (!worker)
        return;
    SetEvent(stopEvent);
    // The worker only draws through its own DCs and never sends to this thread, so a plain wait is safe.
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    worker = nullptr;
}

LRESULT CSkFadePicture::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: return OnDestroy();
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}

void CSkFadePicture::DoPaint(HDC dc, const RECT&) {
    if (!IsFadeDone() || !picture)
        return;
    MemoryDC source(dc);
    SelectGuard selection(source.hdc(), picture.get());
    BitBlt(dc, 0, 0, pictureSize.cx, pictureSize.cy, source.hdc(), 0, 0, SRCCOPY);
}

LRESULT CSkFadePicture::OnDestroy() {
    // The worker draws on this window: it must be gone before the window is.
    StopFade();
    return Default(WM_DESTROY, 0, 0);
}
