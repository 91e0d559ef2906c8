#include "tools/movenc/EncoderListCache.h"

#include <windows.h>

#include <cstdio>

std::string FormatEncoderCache(std::string_view key, const EncoderSet& encoders) {
    std::string text(key);
    text += '\n';
    for (const std::string& name : encoders)
        text += name + '\n';
    return text;
}

std::optional<EncoderSet> ParseEncoderCache(std::string_view text, std::string_view key) {
    const std::size_t firstEnd = text.find('\n');
    if (key.empty() || firstEnd == std::string_view::npos || text.substr(0, firstEnd) != key)
        return std::nullopt;
    EncoderSet encoders;
    text.remove_prefix(firstEnd + 1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        // A last line without its line end was cut short: the file is not to be trusted.
        if (end == std::string_view::npos)
            return std::nullopt;
        if (end > 0)
            encoders.emplace(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (encoders.empty())
        return std::nullopt;
    return encoders;
}

std::string EncoderCacheKey(const std::string& ffmpegPath) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(ffmpegPath.c_str(), GetFileExInfoStandard, &data))
        return {};
    char key[64] = {};
    std::snprintf(key, sizeof(key), "|%lu:%lu|%lu:%lu", data.nFileSizeHigh, data.nFileSizeLow,
                  data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return ffmpegPath + key;
}

std::string EncoderCacheFile() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH - 32)
        return {};
    return std::string(folder, length) + "movenc-encoders.txt";
}

std::string ReadCacheFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    // An encoder list is a few kilobytes; anything much bigger is not ours.
    while (text.size() < 256 * 1024 && ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void WriteCacheFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId());
    HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size() || !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        DeleteFileA(temporary.c_str());
}
