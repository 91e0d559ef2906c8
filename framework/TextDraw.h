#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Drawing and measuring the program's texts, which are UTF-8 (the active code page the manifest asks for).
//
// The window, file and registry functions take such texts as they are, but GDI's "A" text functions convert with
// the code page of the selected font's charset, not the process's: DrawTextA of the bytes of "Vidéo" draws
// "VidÃ©o". Every text a control draws therefore goes through here: converted with the active code page (UTF-8 on
// Windows 10 1903 and later and Wine 8, the legacy code page on an older Windows, where the texts are in it) and
// handed to the wide functions. Measure through here too, or widths and drawn text disagree.

// The text in UTF-16, converted from the active code page; invalid bytes become U+FFFD, never a cut.
std::wstring WidenText(std::string_view text);
// Back from UTF-16 to the active code page.
std::string NarrowText(std::wstring_view text);

// DrawTextW of the text (DT_CALCRECT included: rect gets the measured size). Returns the height drawn.
int DrawTextUtf8(HDC dc, std::string_view text, RECT* rect, UINT format);
// ExtTextOutW of the text at x, y, with no rectangle.
void TextOutUtf8(HDC dc, int x, int y, std::string_view text);
// GetTextExtentPoint32W of the text.
SIZE TextExtentUtf8(HDC dc, std::string_view text);
