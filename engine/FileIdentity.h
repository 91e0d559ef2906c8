#pragma once

#include <optional>
#include <string>
#include <string_view>

// What tells one existing file from another however a path spells it (short names, other drive
// letters for the same folder): its volume and file index.
struct FileIdentity {
    unsigned long volume = 0;
    unsigned long indexHigh = 0;
    unsigned long indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file or folder at `path`; nullopt when there is none or it cannot be read.
std::optional<FileIdentity> IdentityOfFile(const std::string& path);

// True when two names are one to the file system: equal but for letter case, in every script ("VIDÉO" and "Vidéo"),
// compared as UTF-16 with the system's case folding; a compare of the bytes, or a locale's, folds ASCII only.
bool SameFileName(std::string_view first, std::string_view second);

// True when the two paths name the same file: equal as full paths, ignoring letter case in every script as the file
// system does, or, when both exist, the very same file reached two ways (short names, hard links, "..").
bool IsSameFile(const std::string& first, const std::string& second);
