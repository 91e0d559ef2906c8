#include "framework/TextDraw.h"

std::wstring WidenText(std::string_view text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

int DrawTextUtf8(HDC dc, std::string_view text, RECT* rect, UINT format) {
    const std::wstring wide = WidenText(text);
    // The text is a converted copy: writing a shortened text back into it would reach nobody.
    return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect,
                     format & ~static_cast<UINT>(DT_MODIFYSTRING));
}

void TextOutUtf8(HDC dc, int x, int y, std::string_view text) {
    const std::wstring wide = WidenText(text);
    ExtTextOutW(dc, x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}

SIZE TextExtentUtf8(HDC dc, std::string_view text) {
    const std::wstring wide = WidenText(text);
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}
