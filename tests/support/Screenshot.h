#pragma once

#include <windows.h>

#include <string>

// Screenshots for people (proof of a look, not a test): pixels saved as PNG through GDI+.

// Saves bitmap (not selected into any DC) as a PNG file at path. False when GDI+ cannot start or save.
bool SaveBitmapPng(HBITMAP bitmap, const std::string& path);

// A copy of the window as it shows now, frame included, read from its own window DC (so other windows on top do not
// matter); the caller owns the bitmap. Null on failure.
HBITMAP CaptureWindow(HWND window);
// The same for the whole screen.
HBITMAP CaptureScreen();

bool SaveWindowPng(HWND window, const std::string& path);
bool SaveScreenPng(const std::string& path);
