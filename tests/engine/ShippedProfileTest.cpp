#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/CommandTemplates.h"
#include "engine/EngineGlobals.h"
#include "engine/ProfileReader.h"

namespace {

const char* const commonVariables[] = {"$INPUT_FILE", "$START",      "$LENGTH",     "$TITLE",
                                       "$TIMESTAMP",  "$OUTPUT_DIR", "$OUTPUT_FILE"};
const char* const settingsVariables[] = {"$VCODEC",  "$SIZE",         "$FRAMERATE",   "$VIDEOBITRATE", "$ASPECT",
                                         "$CHANNEL", "$AUDIOBITRATE", "$AUDIOSAMPLE", "$VOLUME"};

// The iPod profile as it ships: build/dist/app beside build/tests/engine/engine_tests.exe.
class ShippedIpodProfile : public testing::Test {
protected:
    void SetUp() override
    {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        appFolder = ProgramDirectoryOf(exe) + "..\\..\\dist\\app\\";
        file = appFolder + "iPod_Profile.ini";
        ASSERT_TRUE(reader.SetFile(file)) << file;
        reader.GetSectionNames(names);
        ASSERT_GE(names.size(), 6u) << "Info, the custom preset and at least four real presets";
    }

    std::string appFolder;
    std::string file;
    ProfileReader reader;
    std::vector<std::string> names;
};

TEST_F(ShippedIpodProfile, InfoFirstThenPresetsInOrder)
{
    EXPECT_EQ(names[0], "Info");
    for (size_t i = 1; i < names.size(); ++i) {
        EXPECT_EQ(names[i], IpodPresetSection(static_cast<int>(i - 1)));
    }
    EXPECT_NE(reader.GetValue("Info", "Description").find('#'), std::string::npos);
    const std::string defaultProfile = reader.GetValue("Info", "DefaultProfile");
    const int presets = static_cast<int>(names.size()) - 1;
    ASSERT_FALSE(defaultProfile.empty());
    EXPECT_EQ(DefaultPresetIndex(ipodProfileFileIndex, defaultProfile, presets), ProfileTextToInt(defaultProfile));
}

TEST_F(ShippedIpodProfile, EveryPresetIsComplete)
{
    const struct {
        const char* key;
        SettingTable table;
    } indices[] = {{"VideoType", SettingTable::VideoType},
                   {"VideoSize", SettingTable::VideoSize},
                   {"VideoQuality", SettingTable::VideoQuality},
                   {"Channels", SettingTable::Channels},
                   {"AudioQuality", SettingTable::AudioQuality}};
    for (int preset = 0; preset + 1 < static_cast<int>(names.size()); ++preset) {
        const std::string section = IpodPresetSection(preset);
        std::vector<std::string> keys;
        std::vector<std::string> values;
        reader.GetSectionEntries(section, keys, values);
        EXPECT_EQ(keys[0], "Title") << section;
        EXPECT_FALSE(values[0].empty()) << section;
        const std::optional<std::string> command = ReadIpodCommand(file, preset);
        ASSERT_TRUE(command.has_value()) << section;
        EXPECT_EQ(command->rfind("movenc -i \"$INPUT_FILE\"", 0), 0u) << section;
        EXPECT_NE(command->find("\"$OUTPUT_DIR$OUTPUT_FILE.mp4\""), std::string::npos) << section;
        for (const char* variable : commonVariables) {
            EXPECT_NE(command->find(variable), std::string::npos) << section << " " << variable;
        }
        // The custom preset uses every settings variable, the others none.
        for (const char* variable : settingsVariables) {
            EXPECT_EQ(command->find(variable) != std::string::npos, preset == 0) << section << " " << variable;
        }
        for (const auto& index : indices) {
            const std::string text = reader.GetValue(section, index.key);
            const int value = ProfileTextToInt(text);
            EXPECT_FALSE(text.empty()) << section << " " << index.key;
            EXPECT_GE(value, 0) << section << " " << index.key;
            EXPECT_LT(value, SettingValueTables::Size(index.table)) << section << " " << index.key;
        }
    }
}

TEST_F(ShippedIpodProfile, EveryLineFitsAProfileValue)
{
    const std::vector<std::string> lines = FileLines(file);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_LT(lines[i].size(), 1023u) << "line " << i + 1;
    EXPECT_FALSE(lines.empty());
}

TEST_F(ShippedIpodProfile, EveryPresetBuildsACompleteCommand)
{
    CurrentDirectoryGuard directoryGuard;
    WorkDirectoryOverride work(appFolder);
    FakeHost host;
    HostInstalled installed(&host);
    host.tasks = {MakeNewTask("C:\\in\\clip.avi", 42.0, 10500)};
    host.settings.outputDirectory = "D:\\out\\";
    for (int preset = 0; preset + 1 < static_cast<int>(names.size()); ++preset) {
        host.settings.presetIndex = preset;
        const std::optional<std::string> command = BuildPresetCommand(0);
        ASSERT_TRUE(command.has_value()) << preset;
        EXPECT_EQ(command->find('$'), std::string::npos) << *command;
        EXPECT_NE(command->find(" -t 00:00:42 "), std::string::npos) << *command;
        EXPECT_NE(command->find("\"D:\\out\\clip.mp4\""), std::string::npos) << *command;
    }
}

} // namespace
