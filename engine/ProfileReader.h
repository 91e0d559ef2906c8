#pragma once

#include <optional>
#include <string>
#include <vector>

// Reads one private-profile (INI) file through the platform's profile functions. It only
// remembers the path: every call reads the file anew, so edits made while the program runs
// are seen by the next call. A relative path such as ".\iPod_Profile.ini" resolves against
// the current directory, which the engine keeps at the work folder.
class ProfileReader {
public:
    // Buffer sizes of the profile functions: one value, and a whole section or section list.
    static constexpr unsigned valueBufferSize = 1024;
    static constexpr unsigned listBufferSize = 65535;

    // Remembers `path`; true when it names an existing file that is not a folder.
    bool SetFile(const std::string& path);
    const std::string& File() const { return path; }

    // True when `section` exists and holds at least one key.
    bool HasSection(const std::string& section) const;

    // The value of `key` in `section` (at most 1023 characters), or empty text when either
    // is missing.
    std::string GetValue(const std::string& section, const std::string& key) const;

    // Replaces `names` with the section names in file order and returns their count. A
    // missing or empty file gives one empty name. When the names do not fit the 65535-byte
    // buffer, those that fit whole are returned; the cut-off one is dropped.
    int GetSectionNames(std::vector<std::string>& names) const;

    // Replaces `keys` and `values` with the lines of `section` in file order, each split at
    // its first "="; a line without "=" gives an empty key and the whole line as its value.
    // A missing or empty section gives one entry with empty key and value. Lines come whole,
    // without the 1023-character limit of GetValue; when the section does not fit the
    // 65535-byte buffer, the lines that fit whole are returned.
    int GetSectionEntries(const std::string& section, std::vector<std::string>& keys,
                          std::vector<std::string>& values) const;

private:
    std::string path;
};

// The one reader of the process and the working lists that the settings panel and the
// pipelines fill and read right away.
extern ProfileReader profileReader;
extern std::vector<std::string> profileSectionNames;
extern std::vector<std::string> profileEntryKeys;
extern std::vector<std::string> profileEntryValues;

// Command `command` (counted from 1) of the preset at `profileIndex` (0-based, the preset
// list's entry) in `profileFile`. Commands are read by position, not by key name: entry 0 of
// a preset section is its "Title", entry c its command c. nullopt when there is no such
// command: profileIndex < 0 (nothing selected), no section for the preset, fewer than
// `command` command entries, or an empty one. Uses profileReader and the working lists.
std::optional<std::string> ReadPresetCommand(const std::string& profileFile, int profileIndex, int command);

// "Command0" of the iPod preset `presetIndex`, read by name from section "profile%d" of
// `profileFile`; nullopt when the index is negative, the command is missing or empty, or it
// fills all 1023 characters a value can have (it may have been cut). Uses profileReader.
std::optional<std::string> ReadIpodCommand(const std::string& profileFile, int presetIndex);

// The name of the iPod preset section for `presetIndex`: "profile%d".
std::string IpodPresetSection(int presetIndex);
