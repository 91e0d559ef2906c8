// Reading profile files: values, sections and entries, preset commands by position and iPod commands by name; the
// program's folders and the tasks' unique outputs. And the profiles as they ship (build/dist/app beside
// build/tests/engine/engine_tests.exe): every iPod preset builds a whole command and its combos show what that command
// encodes; an H.263 phone preset promises to play on nearly every phone, which means H.263 profile 0 level 10: at most
// 176x144, 15 frames a second and 64 kbps.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include "EngineTestSupport.h"
#include "engine/DeviceProfiles.h"
#include "engine/EngineGlobals.h"
#include "engine/ProfileReader.h"
#include "engine/SettingValueTables.h"
#include "engine/TaskCommands.h"
#include "engine/UniqueTaskOutput.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Each test works in a folder of its own, made current, so that ".\x.ini" resolves there as in the work folder.
class ProfileReaderTest : public testing::Test {
protected:
    void SetUp() override { SetCurrentDirectoryA(folder.Path().c_str()); }

    Entries ReadEntries(const std::string& section) {
        std::vector<std::string> keys{"stale"}, values{"stale", "stale"};
        const int count = reader.GetSectionEntries(section, keys, values);
        EXPECT_EQ(count, static_cast<int>(keys.size()));
        Entries entries;
        for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
            entries.emplace_back(keys[i], values[i]);
        return entries;
    }

    TempFolder folder; // removed after the guard has left it
    CurrentDirectoryGuard directoryGuard;
    ProfileReader reader;
};

TEST_F(ProfileReaderTest, ValuesSectionsEntriesAndTheFileThatIsNone) {
    folder.Write("a.ini", "[Info]\nDescription=d\n[Bare]\n[p]\nTitle=  padded  \n[q]\nTitle=Preset\nno equals here\n"
                          "cmd=a=b \"c\"\n=only value\nempty=\n");
    folder.Write("empty.ini", "");
    EXPECT_TRUE(reader.SetFile(".\\a.ini"));
    EXPECT_EQ(reader.GetValue("p", "Title"), "padded");
    EXPECT_EQ(reader.GetValue("Info", "Missing") + reader.GetValue("Missing", "Title"), "");
    EXPECT_TRUE(reader.HasSection("Info"));
    EXPECT_FALSE(reader.HasSection("Bare") || reader.HasSection("Missing"));
    std::vector<std::string> names{"stale", "stale", "stale", "stale", "stale"};
    EXPECT_EQ(reader.GetSectionNames(names), 4);
    EXPECT_EQ(names, (std::vector<std::string>{"Info", "Bare", "p", "q"}));
    // Entries split at the first equals sign.
    EXPECT_EQ(
        ReadEntries("q"),
        (Entries{
            {"Title", "Preset"}, {"", "no equals here"}, {"cmd", "a=b \"c\""}, {"", "only value"}, {"empty", ""}}));
    EXPECT_EQ(ReadEntries("Missing"), (Entries{{"", ""}}));
    for (const char* file : {".\\missing.ini", ".\\empty.ini"}) {
        EXPECT_EQ(reader.SetFile(file), file == std::string(".\\empty.ini"));
        EXPECT_FALSE(reader.HasSection("Info"));
        EXPECT_EQ(reader.GetSectionNames(names), 1) << file;
        EXPECT_EQ(names, std::vector<std::string>{""}) << file;
        EXPECT_EQ(ReadEntries("p"), (Entries{{"", ""}}));
    }
}

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

TEST(ShippedProfiles, EveryIpodPresetBuildsACompleteCommandAndShowsWhatItEncodes) {
    ProfileReader reader;
    std::vector<std::string> names;
    ASSERT_TRUE(reader.SetFile(FullPathOf(AppFolder() + "iPod_Profile.ini")));
    reader.GetSectionNames(names);
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

// Read as lines of the file: every command of the three phone profiles.
TEST(ShippedProfiles, H263PhonePresetsStayWithinLevel10) {
    int h263Presets = 0;
    for (const char* name : {"3GP_AMR_Profile.ini", "3GP_AAC_Profile.ini", "3GP2_AAC_Profile.ini"}) {
        for (const std::string& command : FileLines(AppFolder() + name)) {
            if (OptionValue(command, "-vcodec") != "h263")
                continue;
            SCOPED_TRACE(std::string(name) + ": " + command);
            ++h263Presets;
            EXPECT_LE(std::atoi(OptionValue(command, "-b").c_str()), 64);
            EXPECT_LE(std::atof(OptionValue(command, "-r").c_str()), 15.0);
            const std::string size = OptionValue(command, "-s");
            EXPECT_TRUE(size == "176x144" || size == "128x96") << size;
        }
    }
    EXPECT_GE(h263Presets, 4);
}

// The shipped files of each family are read by the real conversions; here what names none.
TEST(DeviceProfiles, ValuesOutsideTheListsPickNoProfileFile) {
    for (const auto& [family, type] : {std::pair{2, 3}, {2, -1}, {6, 0}, {-1, 0}})
        EXPECT_EQ(ProfileFileIndex(DeviceFamily(family), ThreeGpType(type)), -1) << family << " " << type;
    EXPECT_EQ(ProfileFilePath(9) + ProfileFilePath(-1), "");
}

// Profile numbers read like the runtime's, without overflow; the default preset is zero-based only for iPod, and a
// value that names no preset selects the first.
TEST(DeviceProfiles, NumbersAndTheDefaultPreset) {
    for (const auto& [text, value] : {std::pair{"  7", 7}, {"12abc", 12}, {"- 4", 0}, {"99999999999", INT_MAX}})
        EXPECT_EQ(ProfileTextToInt(text), value) << text;
    const struct {
        int fileIndex;
        const char* text;
        int presetCount, listIndex;
    } cases[] = {{0, "2", 5, 2}, {1, "2", 5, 1},   {1, "0", 5, 0}, {0, "5", 5, 0},
                 {1, "6", 5, 0}, {2, " 3x", 4, 2}, {0, "1", 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(DefaultPresetIndex(c.fileIndex, c.text, c.presetCount), c.listIndex)
            << c.fileIndex << " '" << c.text << "' of " << c.presetCount;
}

// The process-wide folders, put back at the end.
TEST(ProgramDirectory, SplitsTheFolderOffTheProgramFileAndRefusesOneTooLong) {
    const std::string savedProgram = programDirectory;
    WorkDirectoryOverride savedWork(workDirectory);
    EXPECT_EQ(ProgramDirectoryOf("movara.exe"), ".\\");
    EXPECT_TRUE(SetProgramDirectory("C:\\movara.exe"));
    EXPECT_STREQ(workDirectory, "C:\\app");
    // A folder of 257 characters plus "app" leaves no room for the terminator; 256 fit.
    EXPECT_FALSE(SetProgramDirectory("C:\\" + std::string(253, 'd') + "\\movara.exe"));
    EXPECT_STREQ(workDirectory, "C:\\app");
    const std::string fits = "C:\\" + std::string(252, 'd') + "\\";
    EXPECT_TRUE(SetProgramDirectory(fits + "movara.exe"));
    EXPECT_EQ(workDirectory, fits + "app");
    lstrcpynA(programDirectory, savedProgram.c_str(), pathBufferSize);
}

// Tasks added the way the task list adds them, each made unique among those already there. Letter case does not make
// another file name, in any script: Windows takes "ÉTÉ" and "été" for one file. Added within one second, tasks draw
// the same PSP number; at the top of the five digits the numbers go round.
TEST(UniqueTaskOutput, SameBaseNamesGetSuffixesAndTasksOfOneSecondTheirOwnPspNumbers) {
    std::vector<ConversionTask> list;
    std::vector<std::string> names;
    std::vector<int> numbers;
    for (const auto& [path, number] : {std::pair{"C:\\a\\clip.avi", 15000},
                                       {"C:\\b\\clip.wmv", 15000},
                                       {"C:\\a\\CLIP.mp4", 15000},
                                       {"C:\\a\\clip_2.avi", 15001},
                                       {"C:\\a\\été.avi", 99999},
                                       {"C:\\a\\ÉTÉ.wmv", 99999}}) {
        ConversionTask task = MakeNewTask(path, 10.0, number);
        MakeTaskOutputUnique(task, list);
        list.push_back(task);
        names.push_back(task.outputName);
        numbers.push_back(task.deviceFileNumber);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"clip", "clip_2", "CLIP_3", "clip_2_2", "été", "ÉTÉ_2"}));
    EXPECT_EQ(numbers, (std::vector<int>{15000, 15001, 15002, 15003, 99999, 10000}));
    // The title and the export's base stay the source's own.
    EXPECT_EQ(list[1].title + list[1].exportBaseName, "clipclip");
}

} // namespace
