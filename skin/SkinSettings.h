#pragma once

#include "skin/SkinReader.h"

#include <windows.h>

// SetLayeredWindowAttributes, looked up at run time because older systems lack it.
using LayeredAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The groups skinned controls copy when they are constructed. Bitmaps belong to SkinSettings for the whole process:
// the controls borrow them and never delete them.

struct ComboSkin {
    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF hotTextColor = 0;
    COLORREF textColor = 0;
    HBITMAP faceBitmap = nullptr;
    HBITMAP listBackBitmap = nullptr;
    HBITMAP arrowBitmap = nullptr;
    HBITMAP listFrameBitmap = nullptr;
    LayeredAttributesProc layeredAttributesEntry = nullptr;
};

struct EditSkin {
    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF backColor = 0;
    COLORREF textColor = 0;
    HBITMAP backBitmap = nullptr;
    HBITMAP foreBitmap = nullptr;
};

struct FrameSkin {
    COLORREF faceColor = 0;
    COLORREF shadowColor = 0;
    COLORREF highlightColor = 0;
    COLORREF textColor = 0;
};

struct ListBoxSkin {
    COLORREF lightColor = 0;
    COLORREF shadowColor = 0;
    COLORREF selTextColor = 0;
    COLORREF textColor = 0;
    HBITMAP backBitmap = nullptr;
    HBITMAP itemBackBitmap = nullptr;
};

struct HeaderSkin {
    COLORREF backColour = 0;
    COLORREF textColour = 0;
    COLORREF textLightColour = 0;
    int bitmapHeight = 0;
    int spanWidth = 0;
    int startWidth = 0;
    int endWidth = 0;
    HBITMAP spanBitmap = nullptr;
    HBITMAP startBitmap = nullptr;
    HBITMAP endBitmap = nullptr;
};

// One bitmap scroll bar of the skinned list, measured along its axis (x for the horizontal bar, y for the vertical
// one) and across it, so that one group serves both bars: the arrow at the start (left, up), the arrow at the end
// (right, down), the square after it (the vertical bar's bottom; none horizontally), the track and the thumb.
struct ScrollBarSkin {
    int startArrowLength = 0;
    int startArrowThickness = 0;
    int endArrowLength = 0;
    int endArrowThickness = 0;
    int endCapLength = 0;
    int endCapThickness = 0;
    int trackReserve = 0; // subtracted from the track length
    int thumbLength = 0;
    int thumbThickness = 0;
    int thumbInset = 0;   // across the bar: the vertical thumb is drawn one pixel in
    int spanLength = 0;   // of the track bitmap's part that is stretched
    int barThickness = 0;
    COLORREF backColour = 0;
    HBITMAP startArrowBitmap = nullptr;
    HBITMAP endArrowBitmap = nullptr;
    HBITMAP endCapBitmap = nullptr;
    HBITMAP spanBitmap = nullptr;
    HBITMAP thumbBitmap = nullptr;
};

// How every skinned control looks, decided once at start-up by LoadSkin and read-only afterwards.
struct SkinSettings {
    char skinFilePath[kSkinValueSize] = {};
    char skinDirectory[kSkinValueSize] = {};
    LayeredAttributesProc layeredAttributesEntry = nullptr;
    ComboSkin comboSkin;
    EditSkin editSkin;
    FrameSkin frameSkin;
    ListBoxSkin listBoxSkin;
    HeaderSkin headerSkin;
    ScrollBarSkin hScrollSkin;
    ScrollBarSkin vScrollSkin;
    HBITMAP titleBitmap = nullptr;
    HBITMAP backgroundBitmap = nullptr;
};

extern SkinSettings skinSettings;
