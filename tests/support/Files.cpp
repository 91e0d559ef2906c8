#include "tests/support/Files.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// The names of the files (not folders) in folder, which ends in "\", in the order the system lists them.
std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace

TempFolder::TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    static int serial = 0;
    folder = std::string(base) + "movara_test_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++serial) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    for (const std::string& name : ListFiles(folder))
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = folder + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

CurrentDirectoryGuard::CurrentDirectoryGuard() {
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, path);
    saved = path;
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    SetCurrentDirectoryA(saved.c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names = ListFiles(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        start = end + 1;
    }
    return lines;
}

std::string FullPathOf(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return std::string(full, length);
}
