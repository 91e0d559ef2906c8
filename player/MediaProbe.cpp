#include "player/MediaProbe.h"

#include <windows.h>

#include <list>
#include <mutex>
#include <thread>

#include "tools/movenc/FfmpegProcess.h"
#include "tools/movenc/FfmpegText.h"

namespace {

// A file ffprobe still reads after this long is not a file the preview can use.
constexpr unsigned probeTimeoutMs = 15000;
constexpr std::size_t cacheSize = 16;

struct CacheEntry {
    std::string path;
    ULONGLONG size = 0;
    FILETIME written = {};
    MediaInfo info;
};

struct ProbeCache {
    std::mutex lock;
    std::list<CacheEntry> entries; // most recent first
};

ProbeCache& Cache() {
    static ProbeCache cache;
    return cache;
}

bool FileStamp(const std::string& path, ULONGLONG& size, FILETIME& written) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    written = data.ftLastWriteTime;
    return true;
}

} // namespace

std::string FindPlayerProgram(const char* name) {
    const std::string folder = ModuleFolder();
    return FindProgram(name, folder.empty() ? std::string() : folder + "app\\");
}

MediaInfo ProbeMedia(const std::string& path) {
    ULONGLONG size = 0;
    FILETIME written = {};
    if (path.empty() || !FileStamp(path, size, written) || size == 0)
        return {};
    ProbeCache& cache = Cache();
    {
        std::lock_guard<std::mutex> hold(cache.lock);
        for (auto entry = cache.entries.begin(); entry != cache.entries.end(); ++entry) {
            if (entry->path == path && entry->size == size && CompareFileTime(&entry->written, &written) == 0) {
                cache.entries.splice(cache.entries.begin(), cache.entries, entry);
                return cache.entries.front().info;
            }
        }
    }
    const std::string ffprobe = FindPlayerProgram("ffprobe.exe");
    if (ffprobe.empty())
        return {};
    const MediaInfo info =
        ParseProbeOutput(CaptureOutput(ffprobe, JoinCommandLine(ffprobe, ProbeArguments(path)), probeTimeoutMs));
    std::lock_guard<std::mutex> hold(cache.lock);
    cache.entries.remove_if([&](const CacheEntry& entry) { return entry.path == path; });
    cache.entries.push_front({path, size, written, info});
    if (cache.entries.size() > cacheSize)
        cache.entries.pop_back();
    return info;
}

void ClearProbeCache() {
    std::lock_guard<std::mutex> hold(Cache().lock);
    Cache().entries.clear();
}
