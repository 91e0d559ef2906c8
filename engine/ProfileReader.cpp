#include "engine/ProfileReader.h"

#include <cstdio>
#include <windows.h>

ProfileReader profileReader;
std::vector<std::string> profileSectionNames;
std::vector<std::string> profileEntryKeys;
std::vector<std::string> profileEntryValues;

namespace {

// Splits what a list-returning profile function wrote: strings each followed by a
// terminator, `length` characters in all (the list's final terminator not counted). When the
// list does not fit the buffer, the functions return size - 2 and end it with a piece of the
// next string that has no terminator of its own; such a piece is dropped, since a piece of a
// section name or of a command must not be taken for the whole. A complete list always ends
// with a terminated string, so only strings followed by a terminator are taken.
std::vector<std::string> SplitTerminatedList(const std::vector<char>& buffer, DWORD length)
{
    std::vector<std::string> items;
    const size_t end = length < buffer.size() ? length : buffer.size();
    size_t start = 0;
    for (size_t i = 0; i < end; ++i) {
        if (buffer[i] == '\0') {
            items.emplace_back(buffer.data() + start, i - start);
            start = i + 1;
        }
    }
    return items;
}

} // namespace

bool ProfileReader::SetFile(const std::string& newPath)
{
    path = newPath;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ProfileReader::HasSection(const std::string& section) const
{
    // A null key name lists the section's keys: empty when the section is missing or bare.
    char keys[valueBufferSize] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, valueBufferSize, path.c_str());
    return length > 0;
}

std::string ProfileReader::GetValue(const std::string& section, const std::string& key) const
{
    char value[valueBufferSize] = {};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, valueBufferSize, path.c_str());
    // A value cut to fit reports size - 1; never trust more than the buffer holds.
    return std::string(value, length < valueBufferSize ? length : valueBufferSize - 1);
}

int ProfileReader::GetSectionNames(std::vector<std::string>& names) const
{
    std::vector<char> buffer(listBufferSize, '\0');
    const DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), listBufferSize, path.c_str());
    names = SplitTerminatedList(buffer, length);
    if (names.empty()) {
        names.emplace_back();
    }
    return static_cast<int>(names.size());
}

int ProfileReader::GetSectionEntries(const std::string& section, std::vector<std::string>& keys,
                                     std::vector<std::string>& values) const
{
    std::vector<char> buffer(listBufferSize, '\0');
    const DWORD length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), listBufferSize, path.c_str());
    const std::vector<std::string> lines = SplitTerminatedList(buffer, length);
    keys.clear();
    values.clear();
    for (const std::string& line : lines) {
        const std::string::size_type equals = line.find('=');
        if (equals == std::string::npos) {
            keys.emplace_back();
            values.push_back(line);
        } else {
            keys.push_back(line.substr(0, equals));
            values.push_back(line.substr(equals + 1));
        }
    }
    if (keys.empty()) {
        keys.emplace_back();
        values.emplace_back();
    }
    return static_cast<int>(keys.size());
}

std::string IpodPresetSection(int presetIndex)
{
    char section[32] = {};
    std::snprintf(section, sizeof section, "profile%d", presetIndex);
    return section;
}

std::optional<std::string> ReadPresetCommand(const std::string& profileFile, int profileIndex, int command)
{
    // With nothing selected, profileIndex + 1 would pick the "Info" section and run its
    // description as a command.
    if (profileIndex < 0 || command < 1) {
        return std::nullopt;
    }
    profileReader.SetFile(profileFile);
    const int sectionCount = profileReader.GetSectionNames(profileSectionNames);
    // Compared as "index >= count - 1": profileIndex + 1 would overflow for INT_MAX.
    if (sectionCount < 1 || profileIndex >= sectionCount - 1) {
        return std::nullopt;
    }
    const int entryCount = profileReader.GetSectionEntries(profileSectionNames[static_cast<size_t>(profileIndex) + 1],
                                                           profileEntryKeys, profileEntryValues);
    if (command >= entryCount || profileEntryValues[static_cast<size_t>(command)].empty()) {
        return std::nullopt;
    }
    return profileEntryValues[static_cast<size_t>(command)];
}

std::optional<std::string> ReadIpodCommand(const std::string& profileFile, int presetIndex)
{
    if (presetIndex < 0) {
        return std::nullopt;
    }
    profileReader.SetFile(profileFile);
    std::string command = profileReader.GetValue(IpodPresetSection(presetIndex), "Command0");
    // A value that fills the whole buffer may have been cut; a cut command could write to a
    // wrong file, so it is not run at all.
    if (command.empty() || command.size() >= ProfileReader::valueBufferSize - 1) {
        return std::nullopt;
    }
    return command;
}
