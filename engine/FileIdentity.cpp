#include "engine/FileIdentity.h"

#include <windows.h>

#include "framework/TextDraw.h"
#include "framework/UniqueHandle.h"

namespace {

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    return length > 0 && length < sizeof(full) ? std::string(full, length) : path;
}

} // namespace

bool SameFileName(std::string_view first, std::string_view second) {
    const std::wstring a = WidenText(first);
    const std::wstring b = WidenText(second);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsSameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return false;
    }
    const std::string firstFull = FullPath(first);
    const std::string secondFull = FullPath(second);
    if (SameFileName(firstFull, secondFull)) {
        return true;
    }
    const std::optional<FileIdentity> firstIdentity = IdentityOfFile(firstFull);
    return firstIdentity && firstIdentity == IdentityOfFile(secondFull);
}

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
    const UniqueHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}
