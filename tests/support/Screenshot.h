#pragma once
// Screenshots for people (proof of a look, not a test): pixels saved as PNG through GDI+.

#include <windows.h>

#include <string>

// Saves the window as it shows now, frame included, read from its own window DC (so other windows on top do not
// matter), as a PNG file at path. False when it cannot be read or saved.
bool SaveWindowPng(HWND window, const std::string& path);
inline bool SaveScreenPng(const std::string& path) {
    return SaveWindowPng(GetDesktopWindow(), path);
}
