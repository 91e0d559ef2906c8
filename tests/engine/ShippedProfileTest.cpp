// The profiles as they ship (build/dist/app beside build/tests/engine/engine_tests.exe): every iPod preset builds a
// whole command and its combos show what that command encodes; an H.263 phone preset promises to play on nearly every
// phone, which means H.263 profile 0 level 10: at most 176x144, 15 frames a second and 64 kbps.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/ProfileReader.h"
#include "engine/SettingValueTables.h"
#include "engine/TaskCommands.h"

namespace {

const char* const settingsVariables[] = {"$VCODEC",  "$SIZE",         "$FRAMERATE",   "$VIDEOBITRATE", "$ASPECT",
                                         "$CHANNEL", "$AUDIOBITRATE", "$AUDIOSAMPLE", "$VOLUME"};

// The word after `option` in `command`; empty when it is not there.
std::string OptionValue(const std::string& command, const std::string& option) {
    const std::string::size_type at = command.find(" " + option + " ");
    if (at == std::string::npos)
        return {};
    const std::string::size_type start = at + option.size() + 2;
    return command.substr(start, command.find(' ', start) - start);
}

// The section names of a shipped profile, "Info" first.
std::vector<std::string> Sections(ProfileReader& reader, const std::string& name) {
    std::vector<std::string> sections;
    EXPECT_TRUE(reader.SetFile(FullPathOf(AppFolder() + name))) << name;
    reader.GetSectionNames(sections);
    return sections;
}

TEST(ShippedProfiles, EveryIpodPresetBuildsACompleteCommandAndShowsWhatItEncodes) {
    ProfileReader reader;
    const std::vector<std::string> names = Sections(reader, "iPod_Profile.ini");
    ASSERT_GE(names.size(), 6u) << "Info, the custom preset and at least four real presets";
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride work(FullPathOf(AppFolder()));
    FakeHost host;
    HostInstalled installed(&host);
    host.tasks = {MakeNewTask("C:\\in\\clip.avi", 42.0, 10500)};
    host.settings.outputDirectory = "D:\\out\\";
    for (int preset = 0; preset + 1 < static_cast<int>(names.size()); ++preset) {
        const std::string section = IpodPresetSection(preset);
        EXPECT_EQ(names[static_cast<size_t>(preset) + 1], section);
        const std::optional<std::string> command = ReadIpodCommand(reader.File(), preset);
        ASSERT_TRUE(command.has_value()) << section;
        SCOPED_TRACE(section + ": " + *command);
        // The custom preset uses every settings variable, the others none.
        for (const char* variable : settingsVariables)
            EXPECT_EQ(command->find(variable) != std::string::npos, preset == 0) << variable;
        host.settings.presetIndex = preset;
        const std::string built = BuildPresetCommand(0).value_or("");
        EXPECT_EQ(built.find('$'), std::string::npos) << built;
        EXPECT_EQ(built.rfind("movenc -i \"C:\\in\\clip.avi\"", 0), 0u) << built;
        EXPECT_NE(built.find(" -t 00:00:42 "), std::string::npos) << built;
        EXPECT_NE(built.find("\"D:\\out\\clip.mp4\""), std::string::npos) << built;
        // Picking a preset sets the settings combos from its indices: they must show what its command encodes.
        auto entry = [&](const char* key, SettingTable table) {
            return std::string(SettingValueTables::Entry(table, ProfileTextToInt(reader.GetValue(section, key))));
        };
        if (preset > 0) {
            EXPECT_NE(command->find(entry("VideoType", SettingTable::VideoType).substr(0, 12)), std::string::npos);
            EXPECT_EQ(OptionValue(*command, "-s"), entry("VideoSize", SettingTable::VideoSize));
            EXPECT_EQ(OptionValue(*command, "-b"), entry("VideoQuality", SettingTable::VideoQuality));
            EXPECT_EQ(OptionValue(*command, "-ac"), entry("Channels", SettingTable::Channels));
            EXPECT_EQ(OptionValue(*command, "-ab"), entry("AudioQuality", SettingTable::AudioQuality));
        }
    }
}

TEST(ShippedProfiles, H263PhonePresetsStayWithinLevel10) {
    int h263Presets = 0;
    for (const char* name : {"3GP_AMR_Profile.ini", "3GP_AAC_Profile.ini", "3GP2_AAC_Profile.ini"}) {
        ProfileReader reader;
        const std::vector<std::string> sections = Sections(reader, name);
        for (size_t i = 1; i < sections.size(); ++i) {
            std::vector<std::string> keys;
            std::vector<std::string> values;
            reader.GetSectionEntries(sections[i], keys, values);
            for (size_t e = 1; e < values.size(); ++e) {
                const std::string& command = values[e];
                if (OptionValue(command, "-vcodec") != "h263")
                    continue;
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

} // namespace
