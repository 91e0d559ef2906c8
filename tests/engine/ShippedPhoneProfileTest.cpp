// The phone presets as they ship: an H.263 preset promises to play on nearly every phone, which
// means H.263 profile 0 level 10: at most 176x144, 15 frames a second and 64 kbps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

#include "engine/ProfileReader.h"
#include "engine/SettingValueTables.h"

namespace {

std::string AppFolder() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "..\\..\\dist\\app\\";
}

// The word after `option` in `command`; empty when it is not there.
std::string OptionValue(const std::string& command, const std::string& option) {
    const std::string::size_type at = command.find(" " + option + " ");
    if (at == std::string::npos) {
        return {};
    }
    const std::string::size_type start = at + option.size() + 2;
    return command.substr(start, command.find(' ', start) - start);
}

TEST(ShippedPhoneProfiles, H263PresetsStayWithinLevel10) {
    int h263Presets = 0;
    for (const char* name : {"3GP_AMR_Profile.ini", "3GP_AAC_Profile.ini", "3GP2_AAC_Profile.ini"}) {
        ProfileReader reader;
        const std::string file = AppFolder() + name;
        ASSERT_TRUE(reader.SetFile(file)) << file;
        std::vector<std::string> sections;
        reader.GetSectionNames(sections);
        for (size_t i = 1; i < sections.size(); ++i) {
            std::vector<std::string> keys;
            std::vector<std::string> values;
            reader.GetSectionEntries(sections[i], keys, values);
            for (size_t e = 1; e < values.size(); ++e) {
                const std::string& command = values[e];
                if (OptionValue(command, "-vcodec") != "h263") {
                    continue;
                }
                SCOPED_TRACE(std::string(name) + " " + sections[i] + ": " + command);
                ++h263Presets;
                EXPECT_LE(std::atoi(OptionValue(command, "-b").c_str()), 64);
                EXPECT_LE(std::atof(OptionValue(command, "-r").c_str()), 15.0);
                const std::string size = OptionValue(command, "-s");
                EXPECT_TRUE(size == "176x144" || size == "128x96") << size;
            }
        }
    }
    EXPECT_GE(h263Presets, 4);
}

// Picking an iPod preset sets the settings combos from its indices: they must show what its
// command encodes.
TEST(ShippedIpodPresets, TheCombosShowWhatTheCommandEncodes) {
    ProfileReader reader;
    const std::string file = AppFolder() + "iPod_Profile.ini";
    ASSERT_TRUE(reader.SetFile(file)) << file;
    std::vector<std::string> sections;
    reader.GetSectionNames(sections);
    ASSERT_GE(sections.size(), 3u);
    // Preset 0 is the custom one: its command takes the combos' values.
    for (size_t i = 2; i < sections.size(); ++i) {
        const std::string& section = sections[i];
        const std::string command = reader.GetValue(section, "Command0");
        SCOPED_TRACE(section + ": " + command);
        auto entry = [&](const char* key, SettingTable table) {
            return std::string(SettingValueTables::Entry(table, std::atoi(reader.GetValue(section, key).c_str())));
        };
        EXPECT_NE(command.find(entry("VideoType", SettingTable::VideoType).substr(0, 12)), std::string::npos);
        EXPECT_EQ(OptionValue(command, "-s"), entry("VideoSize", SettingTable::VideoSize));
        EXPECT_EQ(OptionValue(command, "-b"), entry("VideoQuality", SettingTable::VideoQuality));
        EXPECT_EQ(OptionValue(command, "-ac"), entry("Channels", SettingTable::Channels));
        EXPECT_EQ(OptionValue(command, "-ab"), entry("AudioQuality", SettingTable::AudioQuality));
    }
}

} // namespace
