#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

// The encoder list of an ffmpeg, kept in a small file between runs: asking ffmpeg costs a
// process start (a quarter of a second under Wine), which would show in every conversion
// that needs a choice. The list is tied to the ffmpeg file's path, size and time, so that
// replacing ffmpeg.exe asks anew.
using EncoderSet = std::set<std::string, std::less<>>;

// The cache text: the key on the first line, then one encoder name a line.
std::string FormatEncoderCache(std::string_view key, const EncoderSet& encoders);

// The encoders of a cache text written for `key`; nullopt for another key or no text.
std::optional<EncoderSet> ParseEncoderCache(std::string_view text, std::string_view key);

// The key of the ffmpeg at `ffmpegPath`: its path, size and last write time; empty when the
// file cannot be read.
std::string EncoderCacheKey(const std::string& ffmpegPath);

// The cached list for `ffmpegPath` when there is one for its key, else `ask()`'s answer,
// which is then kept for next time (when it is not empty: an ffmpeg that failed to answer
// is asked again).
template <typename Ask>
EncoderSet CachedEncoderList(const std::string& cacheFile, const std::string& ffmpegPath, Ask ask);

// The file the cache lives in: movenc-encoders.txt in the user's temporary folder.
std::string EncoderCacheFile();

// Reads and writes the whole cache file; an empty text when it cannot be read. Writing
// goes through a temporary file renamed into place, so that two front-ends at once never
// read half a file.
std::string ReadCacheFile(const std::string& path);
void WriteCacheFile(const std::string& path, const std::string& text);

template <typename Ask>
EncoderSet CachedEncoderList(const std::string& cacheFile, const std::string& ffmpegPath, Ask ask) {
    const std::string key = EncoderCacheKey(ffmpegPath);
    if (!key.empty() && !cacheFile.empty()) {
        if (std::optional<EncoderSet> cached = ParseEncoderCache(ReadCacheFile(cacheFile), key))
            return *cached;
    }
    EncoderSet encoders = ask();
    if (!key.empty() && !cacheFile.empty() && !encoders.empty())
        WriteCacheFile(cacheFile, FormatEncoderCache(key, encoders));
    return encoders;
}
