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

struct HScrollSkin {
    int leftArrowHeight = 0;
    int leftArrowWidth = 0;
    int rightArrowHeight = 0;
    int rightArrowWidth = 0;
    int thumbLength = 0;
    int thumbThickness = 0;
    int spanWidth = 0;
    int barHeight = 0;
    COLORREF backColour = 0;
    HBITMAP leftArrowBitmap = nullptr;
    HBITMAP rightArrowBitmap = nullptr;
    HBITMAP spanBitmap = nullptr;
    HBITMAP thumbBitmap = nullptr;
};

struct VScrollSkin {
    int upArrowHeight = 0;
    int upArrowWidth = 0;
    int downArrowHeight = 0;
    int downArrowWidth = 0;
    int bottomWidth = 0;
    int bottomHeight = 0;
    int spare = 0;
    int trackReserve = 0;
    int thumbThickness = 0;
    int thumbLength = 0;
    int barWidth = 0;
    int spanHeight = 0;
    COLORREF backColour = 0;
    HBITMAP upArrowBitmap = nullptr;
    HBITMAP downArrowBitmap = nullptr;
    HBITMAP spanBitmap = nullptr;
    HBITMAP bottomBitmap = nullptr;
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
    HScrollSkin hScrollSkin;
    VScrollSkin vScrollSkin;
    HBITMAP titleBitmap = nullptr;
    HBITMAP backgroundBitmap = nullptr;
};

extern SkinSettings skinSettings;
